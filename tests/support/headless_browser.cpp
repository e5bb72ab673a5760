// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/headless_browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "gpslog/external_tool.h"

extern char** environ;

namespace quarnel::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kCallLimit{30};

// A descriptor above the ones the browser is given (3 and 4), closed on exec.
int High(int fd) {
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

std::string Errno(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::optional<std::filesystem::path> HeadlessBrowser::Find() {
    return FindProgram("chromium");
}

HeadlessBrowser::~HeadlessBrowser() {
    Stop();
}

bool HeadlessBrowser::Start(const std::filesystem::path& program, const Options& options,
                            std::string& error) {
    Stop();
    // Socket pairs rather than pipes: a browser gone away makes a send fail (MSG_NOSIGNAL)
    // instead of raising SIGPIPE in the test.
    int commands[2], replies[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, commands) != 0) {
        error = Errno("socketpair");
        return false;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, replies) != 0) {
        error = Errno("socketpair");
        ::close(commands[0]);
        ::close(commands[1]);
        return false;
    }
    for (int* fd : {&commands[0], &commands[1], &replies[0], &replies[1]}) {
        *fd = High(*fd);
    }

    std::filesystem::create_directories(options.profileDir);
    m_messages = options.profileDir / "chromium.log";
    std::vector<std::string> args = {
        program.string(),
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-quic",
        "--no-first-run",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--hide-scrollbars",
        "--user-data-dir=" + options.profileDir.string(),
        "--remote-debugging-pipe",
        "--window-size=" + std::to_string(options.width) + "," + std::to_string(options.height),
    };
    if (options.resolveNoHost) {
        args.push_back("--host-resolver-rules=MAP * ~NOTFOUND");
    }
    args.push_back("about:blank");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commands[1], 3);
    posix_spawn_file_actions_adddup2(&actions, replies[1], 4);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, m_messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(commands[1]);
    ::close(replies[1]);
    m_toBrowser = commands[0];
    m_fromBrowser = replies[0];
    if (spawned != 0) {
        m_pid = -1;
        errno = spawned;
        error = Errno("cannot start the browser");
        Stop();
        return false;
    }
    // The first answer shows the browser is listening.
    const std::optional<nlohmann::json> version = Call("Browser.getVersion", {}, error, false);
    if (!version) {
        error = "the browser did not answer: " + error + "\n" + BrowserMessages();
        Stop();
        return false;
    }
    return true;
}

void HeadlessBrowser::Stop() {
    if (m_pid > 0) {
        std::string ignored;
        Send({{"id", m_nextId++}, {"method", "Browser.close"}}, ignored);
        const auto until = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (Clock::now() > until) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_pid = -1;
    }
    for (int* fd : {&m_toBrowser, &m_fromBrowser}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    m_buffer.clear();
    m_targetId.clear();
    m_sessionId.clear();
}

bool HeadlessBrowser::Send(const nlohmann::json& message, std::string& error) {
    if (m_toBrowser < 0) {
        error = "the browser is not running";
        return false;
    }
    std::string text = message.dump();
    text.push_back('\0');
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t n = ::send(m_toBrowser, rest.data(), rest.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = Errno("sending to the browser");
            return false;
        }
        rest.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::optional<nlohmann::json> HeadlessBrowser::Receive(Clock::time_point until,
                                                       std::string& error) {
    for (;;) {
        const size_t end = m_buffer.find('\0');
        if (end != std::string::npos) {
            nlohmann::json message = nlohmann::json::parse(m_buffer.substr(0, end), nullptr, false);
            m_buffer.erase(0, end + 1);
            if (message.is_discarded()) {
                error = "the browser sent something that is not JSON";
                return std::nullopt;
            }
            if (!message.contains("id")) {
                File(message);
            }
            return message;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) {
            error = "the browser did not answer in time";
            return std::nullopt;
        }
        pollfd p{m_fromBrowser, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;  // the time left is looked at again
        }
        char chunk[1 << 16];
        const ssize_t n = ::read(m_fromBrowser, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = "the browser went away";
            return std::nullopt;
        }
        m_buffer.append(chunk, static_cast<size_t>(n));
    }
}

void HeadlessBrowser::File(const nlohmann::json& event) {
    const std::string method = event.value("method", "");
    const nlohmann::json params = event.value("params", nlohmann::json::object());
    if (!m_sessionId.empty() && event.value("sessionId", "") != m_sessionId) {
        return;  // the browser's own events, or those of a page closed before
    }
    if (method == "Page.loadEventFired") {
        m_loaded = true;
    } else if (method == "Network.requestWillBeSent") {
        m_requests.push_back(params["request"].value("url", ""));
    } else if (method == "Runtime.exceptionThrown") {
        const nlohmann::json& details = params["exceptionDetails"];
        std::string text = details.value("text", "exception");
        if (details.contains("exception")) {
            text += " " + details["exception"].value("description", "");
        }
        m_scriptErrors.push_back(text + " at " + details.value("url", "") + ":" +
                                 std::to_string(details.value("lineNumber", 0) + 1));
    } else if (method == "Runtime.consoleAPICalled") {
        const std::string type = params.value("type", "");
        if (type == "error" || type == "assert") {
            m_scriptErrors.push_back("console." + type + ": " + params["args"].dump());
        }
    } else if (method == "Log.entryAdded") {
        const nlohmann::json& entry = params["entry"];
        // A tile that cannot load offline is the network's business, not the script's.
        if (entry.value("level", "") == "error" && entry.value("source", "") != "network") {
            m_scriptErrors.push_back(entry.value("source", "") + ": " + entry.value("text", ""));
        }
    }
}

std::optional<nlohmann::json> HeadlessBrowser::Call(const std::string& method,
                                                    const nlohmann::json& params,
                                                    std::string& error, bool page) {
    const int id = m_nextId++;
    nlohmann::json message = {{"id", id}, {"method", method}, {"params", params}};
    if (page) {
        if (m_sessionId.empty()) {
            error = "no page is open";
            return std::nullopt;
        }
        message["sessionId"] = m_sessionId;
    }
    if (!Send(message, error)) {
        return std::nullopt;
    }
    const auto until = Clock::now() + kCallLimit;
    for (;;) {
        std::optional<nlohmann::json> reply = Receive(until, error);
        if (!reply) {
            error = method + ": " + error;
            return std::nullopt;
        }
        if (reply->value("id", 0) != id) {
            continue;
        }
        if (reply->contains("error")) {
            error = method + ": " + (*reply)["error"].dump();
            return std::nullopt;
        }
        return reply->value("result", nlohmann::json::object());
    }
}

bool HeadlessBrowser::Open(const std::string& url, std::string& error, bool navigatorOffline) {
    if (!m_targetId.empty()) {
        std::string ignored;
        Call("Target.closeTarget", {{"targetId", m_targetId}}, ignored, false);
        m_targetId.clear();
        m_sessionId.clear();
    }
    m_requests.clear();
    m_scriptErrors.clear();
    m_loaded = false;

    const auto target = Call("Target.createTarget", {{"url", "about:blank"}}, error, false);
    if (!target) {
        return false;
    }
    m_targetId = target->value("targetId", "");
    const auto attached =
        Call("Target.attachToTarget", {{"targetId", m_targetId}, {"flatten", true}}, error, false);
    if (!attached) {
        return false;
    }
    m_sessionId = attached->value("sessionId", "");
    for (const char* domain : {"Page.enable", "Runtime.enable", "Network.enable", "Log.enable"}) {
        if (!Call(domain, nlohmann::json::object(), error)) {
            return false;
        }
    }
    // Offline as the page sees it: the network lets nothing through and navigator.onLine is
    // false. Chromium 150 drops network emulation at every navigation, so the page's
    // navigator is also told so by a script that runs before the page's own; later versions
    // keep the emulation and report it themselves.
    if (navigatorOffline) {
        const nlohmann::json offline = {{"offline", true},
                                        {"latency", 0},
                                        {"downloadThroughput", -1},
                                        {"uploadThroughput", -1}};
        const nlohmann::json navigatorSaysOffline = {
            {"source",
             "Object.defineProperty(Navigator.prototype, 'onLine', "
             "{get: () => false, configurable: true});"}};
        if (!Call("Network.emulateNetworkConditions", offline, error) ||
            !Call("Page.addScriptToEvaluateOnNewDocument", navigatorSaysOffline, error)) {
            return false;
        }
    }
    const auto navigated = Call("Page.navigate", {{"url", url}}, error);
    if (!navigated) {
        return false;
    }
    if (navigated->contains("errorText")) {
        error = "cannot open " + url + ": " + (*navigated)["errorText"].dump();
        return false;
    }
    const auto until = Clock::now() + kCallLimit;
    while (!m_loaded) {
        if (!Receive(until, error)) {
            error = "waiting for " + url + " to load: " + error;
            return false;
        }
    }
    return true;
}

std::optional<nlohmann::json> HeadlessBrowser::Evaluate(const std::string& expression,
                                                        std::string& error) {
    const auto result =
        Call("Runtime.evaluate",
             {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}}, error);
    if (!result) {
        return std::nullopt;
    }
    if (result->contains("exceptionDetails")) {
        error = "evaluating " + expression + ": " + (*result)["exceptionDetails"].dump();
        return std::nullopt;
    }
    return (*result)["result"].value("value", nlohmann::json());
}

bool HeadlessBrowser::WaitFor(const std::string& expression, std::chrono::milliseconds limit,
                              std::string& error) {
    const auto until = Clock::now() + limit;
    for (;;) {
        const std::optional<nlohmann::json> value = Evaluate("!!(" + expression + ")", error);
        if (!value) {
            return false;
        }
        if (value->is_boolean() && value->get<bool>()) {
            return true;
        }
        if (Clock::now() > until) {
            error = "still not true: " + expression;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::optional<std::string> HeadlessBrowser::Screenshot(std::string& error) {
    const auto shot = Call("Page.captureScreenshot", {{"format", "png"}}, error);
    if (!shot) {
        return std::nullopt;
    }
    std::optional<std::string> png = DecodeBase64(shot->value("data", ""));
    if (!png) {
        error = "the screenshot is not base64";
    }
    return png;
}

std::string HeadlessBrowser::BrowserMessages() const {
    std::ifstream in(m_messages);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > 4000 ? text.substr(text.size() - 4000) : text;
}

std::optional<std::string> DecodeBase64(const std::string& text) {
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        int value = -1;
        if (c >= 'A' && c <= 'Z') {
            value = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            value = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            value = c - '0' + 52;
        } else if (c == '+') {
            value = 62;
        } else if (c == '/') {
            value = 63;
        } else if (c == '=') {
            break;
        } else {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
    }
    return out;
}

}  // namespace quarnel::test
