// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The simulated tracker's state file: JSON, documented in docs/simulated-tracker.md.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "device/command_areas.h"
#include "os/files.h"
#include "sim/sim_fleet.h"
#include "sim/sim_items.h"
#include "sim/sim_state.h"

namespace quarnel::sim {

namespace {

using nlohmann::json;

struct StateError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Device text is one byte per character: the state file holds it as the characters
// U+0001-U+00FF, written in UTF-8.
std::vector<uint8_t> BytesFromUtf8(const std::string& text, const std::string& where) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (c < 0x80) {
            out.push_back(c);
            i += 1;
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            out.push_back(static_cast<uint8_t>(((c & 0x03) << 6) | (text[i + 1] & 0x3F)));
            i += 2;
        } else {
            throw StateError(where + ": characters above U+00FF cannot be stored in the tracker");
        }
    }
    if (std::find(out.begin(), out.end(), 0) != out.end()) {
        throw StateError(where + ": text holds a zero character");
    }
    return out;
}

std::string Utf8FromBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (uint8_t b : bytes) {
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

int64_t Integer(const json& j, const std::string& where, int64_t lo, int64_t hi) {
    if (!j.is_number_integer()) {
        throw StateError(where + ": an integer is expected");
    }
    const auto v = j.get<int64_t>();
    if (v < lo || v > hi) {
        throw StateError(where + ": " + std::to_string(v) + " is out of range");
    }
    return v;
}

void CheckKeys(const json& object, std::initializer_list<std::string_view> allowed,
               const std::string& where) {
    if (!object.is_object()) {
        throw StateError(where + ": an object is expected");
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::find(allowed.begin(), allowed.end(), it.key()) == allowed.end()) {
            throw StateError(where + ": unknown key \"" + it.key() + "\"");
        }
    }
}

void PutWord(std::vector<uint8_t>& out, int64_t value) {
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(u >> shift));
    }
}

float FloatAt(const LogRecordBytes& r, size_t at) {
    const uint32_t bits = GetLe32(&r[at]);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A record is saved as a readable fix when that fix encodes back to the same bytes.
bool DecodeFix(const LogRecordBytes& r, LogFix& fix) {
    fix.tag = static_cast<int32_t>(GetLe32(&r[0]));
    fix.year = 2000 + r[6];
    fix.month = r[7];
    fix.day = r[8];
    fix.hour = r[9];
    fix.minute = r[10];
    fix.second = r[11];
    fix.latitude = FloatAt(r, 12);
    fix.longitude = FloatAt(r, 16);
    fix.altitude = FloatAt(r, 20);
    fix.course = FloatAt(r, 24);
    fix.speed = FloatAt(r, 28);
    for (float f : {fix.latitude, fix.longitude, fix.altitude, fix.course, fix.speed}) {
        if (!std::isfinite(f)) {
            return false;
        }
    }
    return EncodeLogRecord(fix) == r;
}

std::string Hex(const uint8_t* data, size_t n) {
    std::string out;
    char buf[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
    }
    return out;
}

LogRecordBytes RecordFromJson(const json& j, const std::string& where) {
    if (j.contains("raw")) {
        CheckKeys(j, {"raw"}, where);
        const std::string hex = j["raw"].is_string() ? j["raw"].get<std::string>() : "";
        if (hex.size() != 2 * kLogRecordSize ||
            hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            throw StateError(where + ": \"raw\" must be 64 hexadecimal digits");
        }
        LogRecordBytes r{};
        for (size_t i = 0; i < kLogRecordSize; ++i) {
            r[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        }
        return r;
    }
    CheckKeys(j, {"tag", "time", "latitude", "longitude", "altitude", "course", "speed"}, where);
    LogFix fix;
    fix.tag = static_cast<int32_t>(
        Integer(j.value("tag", json(1)), where + ".tag", INT32_MIN, INT32_MAX));
    const std::string time = j.value("time", std::string());
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(time.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6 ||
        y < 2000 || y > 2255 || mo < 0 || mo > 255 || d < 0 || d > 255 || h < 0 || h > 255 ||
        mi < 0 || mi > 255 || s < 0 || s > 255) {
        throw StateError(where + ".time: \"YYYY-MM-DD hh:mm:ss\" from 2000 on is expected");
    }
    fix.year = y;
    fix.month = mo;
    fix.day = d;
    fix.hour = h;
    fix.minute = mi;
    fix.second = s;
    auto number = [&](const char* key) {
        const json& v = j.value(key, json(0.0));
        if (!v.is_number()) {
            throw StateError(where + "." + key + ": a number is expected");
        }
        return v.get<float>();
    };
    fix.latitude = number("latitude");
    fix.longitude = number("longitude");
    fix.altitude = number("altitude");
    fix.course = number("course");
    fix.speed = number("speed");
    return EncodeLogRecord(fix);
}

json RecordToJson(const LogRecordBytes& r) {
    LogFix fix;
    if (!DecodeFix(r, fix)) {
        return {{"raw", Hex(r.data(), r.size())}};
    }
    char time[32];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", fix.year, fix.month, fix.day,
                  fix.hour, fix.minute, fix.second);
    return {{"tag", fix.tag},           {"time", time},
            {"latitude", fix.latitude}, {"longitude", fix.longitude},
            {"altitude", fix.altitude}, {"course", fix.course},
            {"speed", fix.speed}};
}

constexpr std::pair<FaultKind, std::string_view> kFaultNames[] = {
    {FaultKind::NoReply, "no_reply"},
    {FaultKind::LateReply, "late_reply"},
    {FaultKind::StaleReplies, "stale_replies"},
    {FaultKind::WrongSequence, "wrong_sequence"},
    {FaultKind::ShortReport, "short_report"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::WriteNotAccepted, "write_not_accepted"},
};

SimFaults FaultsFromJson(const json& j) {
    CheckKeys(j, {"log_not_ready", "unplug_after", "rules"}, "faults");
    SimFaults f;
    f.logNotReadyCount =
        Integer(j.value("log_not_ready", json(0)), "faults.log_not_ready", -1, INT64_MAX);
    f.unplugAfter =
        Integer(j.value("unplug_after", json(-1)), "faults.unplug_after", -1, INT64_MAX);
    const json rules = j.value("rules", json::array());
    if (!rules.is_array()) {
        throw StateError("faults.rules: a list is expected");
    }
    for (size_t i = 0; i < rules.size(); ++i) {
        const std::string where = "faults.rules[" + std::to_string(i) + "]";
        const json& r = rules[i];
        CheckKeys(r, {"kind", "group", "op", "from", "count", "delay_ms", "reports", "length"},
                  where);
        FaultRule rule;
        const std::string kind = r.value("kind", std::string());
        bool known = false;
        for (const auto& [k, name] : kFaultNames) {
            if (name == kind) {
                rule.kind = k;
                known = true;
            }
        }
        if (!known) {
            throw StateError(where + ".kind: unknown fault \"" + kind + "\"");
        }
        rule.group =
            static_cast<int>(Integer(r.value("group", json(-1)), where + ".group", -1, 255));
        rule.op = static_cast<int>(Integer(r.value("op", json(-1)), where + ".op", -1, 255));
        rule.from =
            static_cast<uint64_t>(Integer(r.value("from", json(1)), where + ".from", 1, INT64_MAX));
        if (r.contains("count")) {
            rule.count = static_cast<uint64_t>(Integer(r["count"], where + ".count", 0, INT64_MAX));
        }
        rule.delayMs = static_cast<uint32_t>(
            Integer(r.value("delay_ms", json(0)), where + ".delay_ms", 0, UINT32_MAX));
        rule.reports =
            static_cast<uint32_t>(Integer(r.value("reports", json(1)), where + ".reports", 0, 64));
        rule.length =
            static_cast<uint32_t>(Integer(r.value("length", json(2)), where + ".length", 0, 65));
        f.rules.push_back(rule);
    }
    return f;
}

json FaultsToJson(const SimFaults& f) {
    json rules = json::array();
    for (const FaultRule& rule : f.rules) {
        json r;
        for (const auto& [k, name] : kFaultNames) {
            if (k == rule.kind) {
                r["kind"] = name;
            }
        }
        r["group"] = rule.group;
        r["op"] = rule.op;
        r["from"] = rule.from;
        if (rule.count != std::numeric_limits<uint64_t>::max()) {
            r["count"] = rule.count;
        }
        r["delay_ms"] = rule.delayMs;
        r["reports"] = rule.reports;
        r["length"] = rule.length;
        rules.push_back(r);
    }
    return {
        {"log_not_ready", f.logNotReadyCount}, {"unplug_after", f.unplugAfter}, {"rules", rules}};
}

SimState StateFromJson(const json& root) {
    CheckKeys(root, {"items", "phone_lists", "log", "erase_duration_ms", "faults"}, "state");
    SimState s = FactoryState();
    if (root.contains("items")) {
        const json& items = root["items"];
        if (!items.is_object()) {
            throw StateError("items: an object is expected");
        }
        for (auto it = items.begin(); it != items.end(); ++it) {
            const std::string where = "items." + it.key();
            const SimItem* item = nullptr;
            for (const SimItem& candidate : SimItems()) {
                if (candidate.name == it.key()) {
                    item = &candidate;
                }
            }
            if (item == nullptr) {
                throw StateError(where + ": no such item");
            }
            std::vector<uint8_t> value;
            const json& v = it.value();
            switch (item->kind) {
                case SimItemKind::Text:
                    if (!v.is_string()) {
                        throw StateError(where + ": a text is expected");
                    }
                    value = BytesFromUtf8(v.get<std::string>(), where);
                    if (value.size() > kMaxStoredText) {
                        throw StateError(where + ": longer than a reply can carry (" +
                                         std::to_string(kMaxStoredText) + " bytes)");
                    }
                    break;
                case SimItemKind::Transport:
                    if (v.is_string() && v.get<std::string>().size() == 1) {
                        PutWord(value, static_cast<uint8_t>(v.get<std::string>()[0]));
                    } else {
                        PutWord(value, Integer(v, where, 0, UINT32_MAX));
                    }
                    break;
                case SimItemKind::Words: {
                    const json list = v.is_array() ? v : json::array({v});
                    if (list.size() != item->words) {
                        throw StateError(where + ": " + std::to_string(item->words) +
                                         " numbers expected");
                    }
                    for (const json& w : list) {
                        PutWord(value, Integer(w, where, INT32_MIN, UINT32_MAX));
                    }
                    break;
                }
            }
            s.items[{item->group, item->index}] = value;
        }
    }
    if (root.contains("phone_lists")) {
        const json& lists = root["phone_lists"];
        CheckKeys(lists, {"scu", "sos", "sms"}, "phone_lists");
        for (size_t k = 0; k < 3; ++k) {
            const std::string name(kPhoneListNames[k]);
            if (!lists.contains(name)) {
                continue;
            }
            const json& entries = lists[name];
            if (!entries.is_array() || entries.size() > kPhoneEntries) {
                throw StateError("phone_lists." + name +
                                 ": a list of at most 10 texts is expected");
            }
            s.phoneLists[k] = {};
            for (size_t e = 0; e < entries.size(); ++e) {
                const std::string where = "phone_lists." + name + "[" + std::to_string(e) + "]";
                if (!entries[e].is_string()) {
                    throw StateError(where + ": a text is expected");
                }
                const std::vector<uint8_t> bytes =
                    BytesFromUtf8(entries[e].get<std::string>(), where);
                if (bytes.size() > kMaxStoredText) {
                    throw StateError(where + ": longer than a reply can carry (" +
                                     std::to_string(kMaxStoredText) + " bytes)");
                }
                s.phoneLists[k][e].assign(bytes.begin(), bytes.end());
            }
        }
    }
    if (root.contains("log")) {
        const json& log = root["log"];
        if (!log.is_array()) {
            throw StateError("log: a list is expected");
        }
        for (size_t i = 0; i < log.size(); ++i) {
            s.log.push_back(RecordFromJson(log[i], "log[" + std::to_string(i) + "]"));
        }
    }
    s.eraseDurationMs = static_cast<uint32_t>(
        Integer(root.value("erase_duration_ms", json(0)), "erase_duration_ms", 0, 600000));
    if (root.contains("faults")) {
        s.faults = FaultsFromJson(root["faults"]);
    }
    return s;
}

json StateToJson(const SimState& s) {
    json items = json::object();
    for (const SimItem& item : SimItems()) {
        auto found = s.items.find({item.group, item.index});
        if (found == s.items.end()) {
            continue;
        }
        const std::vector<uint8_t>& value = found->second;
        if (item.kind == SimItemKind::Text) {
            items[std::string(item.name)] = Utf8FromBytes(value);
            continue;
        }
        json words = json::array();
        for (size_t w = 0; w + 4 <= value.size(); w += 4) {
            words.push_back(static_cast<int32_t>(GetLe32(&value[w])));
        }
        if (item.kind == SimItemKind::Transport && words.size() == 1) {
            const int32_t code = words[0].get<int32_t>();
            items[std::string(item.name)] = code >= 0x20 && code < 0x7F
                                                ? json(std::string(1, static_cast<char>(code)))
                                                : json(code);
        } else {
            items[std::string(item.name)] = item.words == 1 && words.size() == 1 ? words[0] : words;
        }
    }
    json lists = json::object();
    for (size_t k = 0; k < 3; ++k) {
        json entries = json::array();
        for (const std::string& e : s.phoneLists[k]) {
            entries.push_back(Utf8FromBytes({e.begin(), e.end()}));
        }
        lists[std::string(kPhoneListNames[k])] = entries;
    }
    json log = json::array();
    for (const LogRecordBytes& r : s.log) {
        log.push_back(RecordToJson(r));
    }
    return {{"items", items},
            {"phone_lists", lists},
            {"log", log},
            {"erase_duration_ms", s.eraseDurationMs},
            {"faults", FaultsToJson(s.faults)}};
}

std::vector<PlugSpan> SpansFromJson(const json& j, const std::string& where) {
    if (!j.is_array()) {
        throw StateError(where + ": a list is expected");
    }
    std::vector<PlugSpan> spans;
    for (size_t i = 0; i < j.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        CheckKeys(j[i], {"at_ms", "until_ms"}, at);
        PlugSpan span;
        span.atMs = static_cast<uint64_t>(
            Integer(j[i].value("at_ms", json(0)), at + ".at_ms", 0, INT64_MAX));
        if (j[i].contains("until_ms")) {
            span.untilMs =
                static_cast<uint64_t>(Integer(j[i]["until_ms"], at + ".until_ms", 0, INT64_MAX));
            if (*span.untilMs <= span.atMs) {
                throw StateError(at + ": until_ms must come after at_ms");
            }
        }
        if (!spans.empty() && (!spans.back().untilMs || span.atMs < *spans.back().untilMs)) {
            throw StateError(at + ": begins before the span before it ends");
        }
        spans.push_back(span);
    }
    return spans;
}

FleetSetup FleetFromJson(const json& root) {
    CheckKeys(root, {"trackers"}, "fleet");
    const json& list = root["trackers"];
    if (!list.is_array() || list.empty() || list.size() > kMaxFleetTrackers) {
        throw StateError("trackers: a list of 1 to " + std::to_string(kMaxFleetTrackers) +
                         " trackers is expected");
    }
    FleetSetup fleet;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = "trackers[" + std::to_string(i) + "]";
        if (!list[i].is_object()) {
            throw StateError(where + ": an object is expected");
        }
        json state = list[i];
        FleetTracker t;
        t.path = FleetPath(i);
        if (state.contains("path")) {
            if (!state["path"].is_string() || state["path"].get<std::string>().empty()) {
                throw StateError(where + ".path: a text is expected");
            }
            t.path = state["path"].get<std::string>();
            state.erase("path");
        }
        if (state.contains("plugged")) {
            t.plugged = SpansFromJson(state["plugged"], where + ".plugged");
            state.erase("plugged");
        }
        try {
            t.state = StateFromJson(state);
        } catch (const StateError& e) {
            throw StateError(where + ": " + e.what());
        }
        for (const FleetTracker& other : fleet.trackers) {
            if (other.path == t.path) {
                throw StateError(where + ".path: \"" + t.path + "\" is taken twice");
            }
        }
        fleet.trackers.push_back(std::move(t));
    }
    return fleet;
}

json FleetToJson(const FleetSetup& fleet) {
    json list = json::array();
    for (const FleetTracker& t : fleet.trackers) {
        json entry = StateToJson(t.state);
        entry["path"] = t.path;
        if (!t.plugged.empty()) {
            json spans = json::array();
            for (const PlugSpan& span : t.plugged) {
                json s = {{"at_ms", span.atMs}};
                if (span.untilMs) {
                    s["until_ms"] = *span.untilMs;
                }
                spans.push_back(s);
            }
            entry["plugged"] = spans;
        }
        list.push_back(entry);
    }
    return {{"trackers", list}};
}

bool ReadJson(const std::filesystem::path& path, json& root, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = os::Utf8FromPath(path) + ": cannot be opened";
        return false;
    }
    try {
        root = json::parse(in);
        return true;
    } catch (const json::exception& e) {
        error = os::Utf8FromPath(path) + ": " + e.what();
    }
    return false;
}

bool WriteJson(const std::filesystem::path& path, const json& root, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = os::Utf8FromPath(path) + ": cannot be created";
        return false;
    }
    out << root.dump(2) << '\n';
    out.flush();
    if (!out) {
        error = os::Utf8FromPath(path) + ": writing failed";
        return false;
    }
    return true;
}

}  // namespace

bool LoadSimState(const std::filesystem::path& path, SimState& state, std::string& error) {
    json root;
    if (!ReadJson(path, root, error)) {
        return false;
    }
    try {
        state = StateFromJson(root);
        return true;
    } catch (const json::exception& e) {
        error = os::Utf8FromPath(path) + ": " + e.what();
    } catch (const StateError& e) {
        error = os::Utf8FromPath(path) + ": " + e.what();
    }
    return false;
}

bool SaveSimState(const std::filesystem::path& path, const SimState& state, std::string& error) {
    return WriteJson(path, StateToJson(state), error);
}

bool LoadSimFleet(const std::filesystem::path& path, FleetSetup& fleet, std::string& error) {
    json root;
    if (!ReadJson(path, root, error)) {
        return false;
    }
    try {
        if (root.is_object() && root.contains("trackers")) {
            fleet = FleetFromJson(root);
            return true;
        }
        FleetSetup one;
        one.trackers.push_back(FleetTracker{FleetPath(0), StateFromJson(root), {}});
        one.singleTracker = true;
        fleet = std::move(one);
        return true;
    } catch (const json::exception& e) {
        error = os::Utf8FromPath(path) + ": " + e.what();
    } catch (const StateError& e) {
        error = os::Utf8FromPath(path) + ": " + e.what();
    }
    return false;
}

bool SaveSimFleet(const std::filesystem::path& path, const FleetSetup& fleet, std::string& error) {
    if (fleet.singleTracker && fleet.trackers.size() == 1) {
        return SaveSimState(path, fleet.trackers.front().state, error);
    }
    return WriteJson(path, FleetToJson(fleet), error);
}

}  // namespace quarnel::sim
