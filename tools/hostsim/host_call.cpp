// The one-line readable form of a host call, as transcripts show it:
//   getClientVariableAsString(1, 5, 1) -> 0 = "Alice"
//   logMessage("Start TALVORI", 4, "Plugin", 0) -> 0
#include <cstdio>
#include <cstring>

#include "host_model.h"

namespace hostsim {

namespace {

// Quoted, with anything unprintable escaped so a transcript stays one line.
std::string quote(const std::string& s, bool isNull) {
    if (isNull) return "null";
    std::string out = "\"";
    for (unsigned char ch : s) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch < 0x20 || ch == 0x7f) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02x", ch);
            out += hex;
        } else {
            out += static_cast<char>(ch);  // UTF-8 passes as it is
        }
    }
    return out + "\"";
}

std::string num(uint64 v) { return std::to_string(static_cast<unsigned long long>(v)); }

std::string resultText(unsigned r) {
    if (r == 0) return "0";
    char buf[24];
    snprintf(buf, sizeof buf, "error 0x%04x", r);
    return buf;
}

bool is(const std::string& f, const char* name) { return f == name; }

}  // namespace

std::string HostCall::describe() const {
    const std::string& f = function;
    const std::string conn = num(connection);
    std::string args;
    bool returnsVoid = false;
    if (is(f, "logMessage")) {
        args = quote(text, textNull) + ", " + std::to_string(number) + ", " +
               quote(text2, text2Null) + ", " + num(id1);
    } else if (is(f, "freeMemory")) {
        args = text;
    } else if (is(f, "requestClientMove")) {
        args = conn + ", " + num(id1) + ", " + num(id2) + ", " + quote(text, textNull) + ", " +
               quote(text2, text2Null);
    } else if (is(f, "requestConnectionInfo")) {
        args = conn + ", " + num(id1) + ", " + quote(text, textNull);
    } else if (is(f, "getClientID") || is(f, "getClientList") || is(f, "getChannelList")) {
        args = conn;
    } else if (is(f, "getClientVariableAsInt") || is(f, "getClientVariableAsString") ||
               is(f, "getChannelVariableAsString") || is(f, "getConnectionVariableAsString")) {
        args = conn + ", " + num(id1) + ", " + num(id2);
    } else if (is(f, "getChannelOfClient") || is(f, "getChannelClientList") ||
               is(f, "getServerVariableAsString")) {
        args = conn + ", " + num(id1);
    } else if (is(f, "getAppPath") || is(f, "getResourcesPath") || is(f, "getConfigPath") ||
               is(f, "getPluginPath")) {
        args = num(id1);
        if (api26) args += ", " + quote(text2, text2Null);  // the plugin id
        returnsVoid = true;
    } else if (is(f, "printMessageToCurrentTab")) {
        args = quote(text, textNull);
        returnsVoid = true;
    } else if (is(f, "sendPluginCommand")) {
        args = conn + ", " + quote(text2, text2Null) + ", " + quote(text, textNull) + ", " +
               std::to_string(number) + ", " + (id1 ? answer : std::string("null"));
        if (api26) args += ", " + quote(returnCode, returnCodeNull);
        returnsVoid = true;
    } else if (is(f, "setPluginMenuEnabled")) {
        args = quote(text2, text2Null) + ", " + num(id1) + ", " + std::to_string(number);
        returnsVoid = true;
    } else if (is(f, "showHotkeySetup")) {
        returnsVoid = true;
    } else if (is(f, "getHotkeyFromKeyword")) {
        args = quote(text2, text2Null) + ", " + num(id1) + ", " + num(id2);
    } else if (is(f, "getAPIVersion") || is(f, "getCurrentServerConnectionHandlerID")) {
        // Their answer is the result; an injected failure shows as one.
        std::string line = f + "() -> " + (result == 0 ? answer : "injected " + resultText(result));
        return line;
    }
    std::string line = f + "(" + args + ")";
    if (!returnsVoid || result != 0) line += " -> " + resultText(result);
    if (returnsVoid && !answer.empty() && !is(f, "sendPluginCommand"))
        line += " = " + quote(answer, false);
    else if (!returnsVoid && !answer.empty() && result == 0)
        line += " = " + (is(f, "getClientVariableAsString") || is(f, "getChannelVariableAsString") ||
                                 is(f, "getServerVariableAsString") ||
                                 is(f, "getConnectionVariableAsString") ||
                                 is(f, "getClientLibVersion")
                             ? quote(answer, false)
                             : answer);
    return line;
}

}  // namespace hostsim
