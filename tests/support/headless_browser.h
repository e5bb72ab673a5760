// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace quarnel::test {

// Chromium without a window, driven through the DevTools protocol over a pipe
// (--remote-debugging-pipe: the browser reads commands from its descriptor 3 and writes
// replies and events to its descriptor 4, each a JSON text ended by a NUL byte). For tests
// and benchmarks that look at a page as a browser shows it.
//
// One page at a time: Open replaces the page before. Everything is bounded in time; a
// browser that stops answering makes the call fail with a reason, never hang. One thread.
// The destructor closes the browser and waits for it (killing it after a few seconds).
class HeadlessBrowser {
public:
    struct Options {
        std::filesystem::path profileDir;  // a new, empty folder (--user-data-dir); also holds
                                           // the browser's own messages, chromium.log
        bool resolveNoHost = true;         // every host name fails: no network at all
        int width = 1280, height = 860;    // the window's size in CSS pixels
    };

    // The browser: chromium on PATH (Debian's package), or nothing.
    static std::optional<std::filesystem::path> Find();

    HeadlessBrowser() = default;
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // Starts `program`; false, with the reason, when it does not answer.
    bool Start(const std::filesystem::path& program, const Options& options, std::string& error);

    // Opens `url` in a new tab (closing the one before) and waits for its load event.
    // `navigatorOffline`: the page is told the browser is offline (navigator.onLine false)
    // and the browser refuses its network requests.
    bool Open(const std::string& url, std::string& error, bool navigatorOffline = false);

    // The value of a JavaScript expression in the page (promises awaited), as JSON; nothing,
    // with the reason, when it throws or the browser does not answer.
    std::optional<nlohmann::json> Evaluate(const std::string& expression, std::string& error);

    // Waits until `expression` is true in the page, looking every few milliseconds.
    bool WaitFor(const std::string& expression, std::chrono::milliseconds limit,
                 std::string& error);

    // The page as shown, as PNG bytes.
    std::optional<std::string> Screenshot(std::string& error);

    // Since the page was opened: the URL of every request it made, and every script error
    // (uncaught exceptions, console errors, and errors the browser logged other than failed
    // network requests, such as content security policy violations).
    const std::vector<std::string>& Requests() const { return m_requests; }
    const std::vector<std::string>& ScriptErrors() const { return m_scriptErrors; }

    // The last lines the browser wrote to its standard error, for failure messages.
    std::string BrowserMessages() const;

    // A command of the protocol on the open page (`page` true) or the browser; its result.
    std::optional<nlohmann::json> Call(const std::string& method, const nlohmann::json& params,
                                       std::string& error, bool page = true);

private:
    bool Send(const nlohmann::json& message, std::string& error);
    // Reads one message (waiting up to `until`) and files its events; nothing on time-out.
    std::optional<nlohmann::json> Receive(std::chrono::steady_clock::time_point until,
                                          std::string& error);
    void File(const nlohmann::json& event);
    void Stop();

    pid_t m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    std::string m_buffer;
    int m_nextId = 1;
    std::string m_targetId, m_sessionId;
    bool m_loaded = false;
    std::filesystem::path m_messages;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_scriptErrors;
};

// The bytes of base64 text (RFC 4648); nothing when it is not base64.
std::optional<std::string> DecodeBase64(const std::string& text);

}  // namespace quarnel::test
