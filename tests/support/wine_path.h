#pragma once
// The build hands the tests Unix paths (plain ASCII, from CMake); Wine
// shows the Unix root as drive Z:.
#include <string>

inline std::string winePath(const std::string& unixPath) {
    std::string path = unixPath;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

inline std::wstring wideWinePath(const std::string& unixPath) {
    return widen(winePath(unixPath));
}
