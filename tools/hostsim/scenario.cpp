#include "scenario.h"

#include <cerrno>
#include <cstdlib>

namespace hostsim {

bool splitWords(const std::string& line, std::vector<std::string>* words, std::string* error) {
    words->clear();
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string word;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                char q = line[i++];
                if (q == '"') {
                    closed = true;
                    break;
                }
                if (q == '\\') {
                    if (i >= n) break;
                    char e = line[i++];
                    if (e == '"' || e == '\\') word += e;
                    else if (e == 'n') word += '\n';
                    else if (e == 't') word += '\t';
                    else {
                        *error = std::string("unknown escape \\") + e;
                        return false;
                    }
                    continue;
                }
                word += q;
            }
            if (!closed) {
                *error = "unclosed quote";
                return false;
            }
            if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                *error = "text right after a closing quote";
                return false;
            }
        } else {
            while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '\n')
                word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

namespace {

// The words of one line after the verb, consumed left to right.
class Args {
public:
    explicit Args(const std::vector<std::string>& words) : words_(words), next_(1) {}

    bool more() const { return next_ < words_.size(); }
    const std::string& peek() const { return words_[next_]; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    void fail(const std::string& message) {
        if (error_.empty()) error_ = message;
    }

    std::string word(const char* what) {
        if (!more()) {
            fail(std::string("missing ") + what);
            return {};
        }
        return words_[next_++];
    }

    uint64 number(const char* what, uint64 max = UINT64_MAX) {
        std::string w = word(what);
        if (failed()) return 0;
        uint64 v = 0;
        if (!parseNumber(w, &v) || v > max) fail(std::string("bad ") + what + " '" + w + "'");
        return v;
    }

    // A channel number, or "-" for the client's channel at run time.
    uint64 channelOrCurrent(const char* what, bool* current) {
        if (more() && peek() == "-") {
            ++next_;
            *current = true;
            return 0;
        }
        *current = false;
        return number(what);
    }

    // One of `choices` (separated by '|').
    std::string keyword(const char* what, const std::string& choices) {
        std::string w = word(what);
        if (failed()) return w;
        size_t start = 0;
        while (start <= choices.size()) {
            size_t bar = choices.find('|', start);
            if (bar == std::string::npos) bar = choices.size();
            if (choices.compare(start, bar - start, w) == 0) return w;
            start = bar + 1;
        }
        fail(std::string(what) + " must be " + choices + ", not '" + w + "'");
        return w;
    }

    void end() {
        if (!failed() && more()) fail("unexpected '" + peek() + "'");
    }

    static bool parseNumber(const std::string& w, uint64* out) {
        if (w.empty() || w[0] == '-' || w[0] == '+' || w[0] == ' ') return false;
        errno = 0;
        char* end = nullptr;
        unsigned long long v = strtoull(w.c_str(), &end, 0);
        if (errno != 0 || *end != '\0') return false;
        *out = v;
        return true;
    }

private:
    const std::vector<std::string>& words_;
    size_t next_;
    std::string error_;
};

constexpr uint64 kMaxClient = 0xFFFF;

void moveArgs(Args& a, Step& s, bool withNew) {
    s.connection = a.number("connection");
    s.client = static_cast<anyID>(a.number("client", kMaxClient));
    s.oldChannel = a.channelOrCurrent("old channel", &s.oldFromModel);
    if (withNew) s.newChannel = a.number("new channel");
    if (a.more()) s.visibility = static_cast<int>(a.number("visibility", 2));
}

// muted, deaf, away and ping <ms>, in any order, after a client's channel.
void clientFlags(Args& a, Step& s) {
    while (a.more() && !a.failed()) {
        std::string flag = a.keyword("client flag", "muted|deaf|away|ping");
        if (flag == "muted") s.muted = true;
        else if (flag == "deaf") s.deaf = true;
        else if (flag == "away") s.away = true;
        else if (flag == "ping") s.ping = a.word("ping");
    }
}

void parseArgs(Args& a, Step& s) {
    switch (s.verb) {
        case Verb::Connection:
            s.connection = a.number("connection");
            s.text = a.word("server name");
            a.keyword("'own'", "own");
            s.client = static_cast<anyID>(a.number("own client", kMaxClient));
            break;
        case Verb::Channel:
            s.connection = a.number("connection");
            s.channel = a.number("channel");
            s.text = a.word("channel name");
            break;
        case Verb::Client:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("client", kMaxClient));
            s.text = a.word("nickname");
            s.channel = a.number("channel");
            clientFlags(a, s);
            break;
        case Verb::Clients:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("first client", kMaxClient));
            s.lastClient = static_cast<anyID>(a.number("last client", kMaxClient));
            if (!a.failed() && (s.client == 0 || s.lastClient < s.client))
                a.fail("the range must go up from client 1 or later");
            s.text = a.word("nickname prefix");
            s.channel = a.number("channel");
            clientFlags(a, s);
            break;
        case Verb::Active:
        case Verb::Connect:
        case Verb::Tab:
        case Verb::Disconnect:
            s.connection = a.number("connection");
            break;
        case Verb::Status:
            s.connection = a.number("connection");
            s.number = static_cast<int>(a.number("status", 4));
            if (a.more()) s.error = static_cast<unsigned>(a.number("error", UINT32_MAX));
            break;
        case Verb::Talk:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("client", kMaxClient));
            s.word = a.keyword("talk state", "start|stop|whisper|disabled");
            break;
        case Verb::Move:
        case Verb::Moved:
        case Verb::Kick:
        case Verb::Subscription:
            moveArgs(a, s, true);
            break;
        case Verb::KickServer:
        case Verb::Timeout:
            moveArgs(a, s, false);
            break;
        case Verb::Join:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("client", kMaxClient));
            s.text = a.word("nickname");
            s.channel = a.number("channel");
            break;
        case Verb::Leave:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("client", kMaxClient));
            break;
        case Verb::Update:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("client", kMaxClient));
            s.word = a.keyword("property", "muted|deaf|away|nick|ping");
            if (s.word == "nick" || s.word == "ping") s.text = a.word("value");
            else s.number = static_cast<int>(a.number("value", 1));
            break;
        case Verb::Command:
            s.connection = a.number("connection");
            s.text = a.word("command text");
            break;
        case Verb::Text:
            s.connection = a.number("connection");
            s.client = static_cast<anyID>(a.number("sender", kMaxClient));
            s.text = a.word("message");
            break;
        case Verb::PluginEvent:
            s.number = static_cast<int>(a.number("data", 0xFFFF));
            if (a.more()) s.text = a.word("message");
            break;
        case Verb::Dialog:
            s.word = a.keyword("button", "ok|cancel");
            break;
        case Verb::Configured:
            s.number = a.more() ? static_cast<int>(a.number("timeout", 600000)) : 10000;
            break;
        case Verb::Fail:
            s.text = a.word("host function");
            s.error = static_cast<unsigned>(a.number("error", UINT32_MAX));
            s.number = 1;
            if (a.more()) {
                if (a.peek() == "always") {
                    a.word("times");
                    s.number = -1;
                } else {
                    s.number = static_cast<int>(a.number("times", 1000000));
                }
            }
            break;
        case Verb::Wait:
            s.number = static_cast<int>(a.number("milliseconds", 600000));
            break;
        case Verb::Screenshot:
            s.text = a.word("file");
            if (a.more()) s.word = a.keyword("area", "screen|overlay|dialog");
            break;
        case Verb::Say:
            s.text = a.word("text");
            break;
        case Verb::Menu:
            s.number = static_cast<int>(a.number("menu item id", INT32_MAX));
            break;
        case Verb::Hotkey:
            s.text = a.word("hotkey keyword");
            break;
        case Verb::Init:
        case Verb::Configure:
        case Verb::Shutdown:
        case Verb::Unload:
            break;
    }
    a.end();
}

struct VerbEntry {
    const char* name;
    Verb verb;
};

const VerbEntry kVerbs[] = {
    {"connection", Verb::Connection}, {"channel", Verb::Channel},
    {"client", Verb::Client},         {"clients", Verb::Clients},
    {"active", Verb::Active},
    {"init", Verb::Init},             {"connect", Verb::Connect},
    {"status", Verb::Status},         {"talk", Verb::Talk},
    {"move", Verb::Move},             {"moved", Verb::Moved},
    {"kick", Verb::Kick},             {"kickserver", Verb::KickServer},
    {"timeout", Verb::Timeout},       {"subscription", Verb::Subscription},
    {"join", Verb::Join},             {"leave", Verb::Leave},
    {"update", Verb::Update},         {"tab", Verb::Tab},
    {"disconnect", Verb::Disconnect}, {"command", Verb::Command},
    {"text", Verb::Text},             {"pluginevent", Verb::PluginEvent},
    {"configure", Verb::Configure},   {"dialog", Verb::Dialog},
    {"configured", Verb::Configured}, {"fail", Verb::Fail},
    {"wait", Verb::Wait},             {"screenshot", Verb::Screenshot},
    {"say", Verb::Say},               {"shutdown", Verb::Shutdown},
    {"unload", Verb::Unload},         {"menu", Verb::Menu},
    {"hotkey", Verb::Hotkey},
};

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

const char* verbName(Verb verb) {
    for (const auto& v : kVerbs)
        if (v.verb == verb) return v.name;
    return "?";
}

ParsedScenario parseScenario(const std::string& text) {
    ParsedScenario out;
    size_t pos = 0;
    int lineNo = 0;
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++lineNo;
        if (lineNo == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);

        std::vector<std::string> words;
        std::string error;
        auto complain = [&](const std::string& message) {
            out.errors.push_back("line " + std::to_string(lineNo) + ": " + message);
        };
        if (!splitWords(line, &words, &error)) {
            complain(error);
            continue;
        }
        if (words.empty()) continue;

        const VerbEntry* entry = nullptr;
        for (const auto& v : kVerbs)
            if (words[0] == v.name) entry = &v;
        if (!entry) {
            complain("unknown command '" + words[0] + "'");
            continue;
        }
        Step step;
        step.verb = entry->verb;
        step.line = lineNo;
        step.source = trim(line);
        Args args(words);
        parseArgs(args, step);
        if (args.failed()) {
            complain(std::string(entry->name) + ": " + args.error());
            continue;
        }
        out.steps.push_back(step);
    }
    return out;
}

}  // namespace hostsim
