// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_files.h"

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "gpslog/log_test_support.h"
#include "gpslog/progress_form.h"
#include "gpslog/xml_reader.h"
#include "os/files.h"
#include "support/sim_fixture.h"
#include "support/time_zone.h"

namespace quarnel {

void PrintTo(LogFormat format, std::ostream* os) {
    *os << LogFormatExtension(format);
}

}  // namespace quarnel

namespace quarnel::test {

void PrintTo(const FilePoint& p, std::ostream* os) {
    *os << "{" << p.latitude << ", " << p.longitude << ", " << p.altitude << " m, " << p.time
        << ", " << p.speed << " km/h, " << p.course << "}";
}

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

bool StripSuffix(std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size() ||
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    text.resize(text.size() - suffix.size());
    return true;
}

std::string UtcText(int64_t seconds) {
    std::tm tm{};
    os::UtcCalendar(seconds, tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

}  // namespace

FileRead ReadCsv(const std::string& text, int32_t utcOffsetSeconds) {
    FileRead read;
    const std::string header(kCsvHeader);
    if (text.compare(0, header.size(), header) != 0) {
        read.error = "no header";
        return read;
    }
    std::string rest = text.substr(header.size());
    int index = 1;
    while (!rest.empty()) {
        const size_t end = rest.find("\r\n");
        if (end == std::string::npos) {
            read.error = "line without CR LF";
            return read;
        }
        const std::vector<std::string> f = Split(rest.substr(0, end), ',');
        rest.erase(0, end + 2);
        if (f.size() != 11 || f[0] != std::to_string(index++) || f[1] != "T") {
            read.error = "bad line " + std::to_string(index - 1);
            return read;
        }
        FilePoint p;
        // The text is the value's negation for S and W ("-nan" for some NaN: negate it back).
        const auto signedText = [](const std::string& value, bool negative) {
            if (!negative) {
                return value;
            }
            return value.starts_with("-") ? value.substr(1) : "-" + value;
        };
        p.latitude = signedText(f[4], f[5] == "S");
        p.longitude = signedText(f[6], f[7] == "W");
        p.altitude = f[8];
        p.course = f[9];
        p.speed = f[10];
        if (!StripSuffix(p.altitude, "m") || !StripSuffix(p.speed, "km/h")) {
            read.error = "bad units";
            return read;
        }
        std::tm tm{};
        if (std::sscanf(f[2].c_str(), "%d/%d/%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday) != 3 ||
            std::sscanf(f[3].c_str(), "%d:%d:%d", &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 3) {
            read.error = "bad date or time";
            return read;
        }
        tm.tm_year -= 1900;
        tm.tm_mon -= 1;
        p.time = UtcText(test::UtcSeconds(tm) - utcOffsetSeconds);
        read.points.push_back(p);
    }
    return read;
}

FileRead ReadGpx(const std::string& text) {
    FileRead read;
    const XmlDocument doc = ParseXml(text);
    if (!doc.error.empty()) {
        read.error = doc.error;
        return read;
    }
    const XmlElement& gpx = *doc.root;
    if (gpx.name != "gpx" || gpx.attributes.count("version") == 0 ||
        gpx.attributes.at("version") != "1.1" || gpx.attributes.count("creator") == 0 ||
        gpx.attributes.count("xmlns") == 0 ||
        gpx.attributes.at("xmlns") != "http://www.topografix.com/GPX/1/1") {
        read.error = "not a GPX 1.1 root";
        return read;
    }
    if (gpx.ChildNames() != std::vector<std::string>{"trk"}) {
        read.error = "not one track";
        return read;
    }
    const XmlElement& trk = *gpx.children[0];
    if (trk.ChildNames() != std::vector<std::string>{"name", "trkseg"}) {
        read.error = "track is not a name and one segment";
        return read;
    }
    for (const XmlElement* pt : trk.First("trkseg")->All("trkpt")) {
        const std::vector<std::string> names = pt->ChildNames();
        const bool withEle = names == std::vector<std::string>{"ele", "time", "desc"};
        if (!withEle && names != std::vector<std::string>{"time", "desc"}) {
            read.error = "trkpt children out of order";
            return read;
        }
        FilePoint p;
        p.latitude = pt->attributes.count("lat") ? pt->attributes.at("lat") : "";
        p.longitude = pt->attributes.count("lon") ? pt->attributes.at("lon") : "";
        p.altitude = withEle ? pt->First("ele")->text : "NaN";
        p.time = pt->First("time")->text;
        const std::string& desc = pt->First("desc")->text;
        char speed[64] = {};
        char course[64] = {};
        if (std::sscanf(desc.c_str(), "speed %63s km/h, course %63s", speed, course) != 2) {
            read.error = "desc without speed and course: " + desc;
            return read;
        }
        p.speed = speed;
        p.course = course;
        read.points.push_back(p);
    }
    if (trk.First("trkseg")->children.size() != read.points.size()) {
        read.error = "segment holds more than trkpt elements";
    }
    return read;
}

FileRead ReadKml(const std::string& text) {
    FileRead read;
    const XmlDocument doc = ParseXml(text);
    if (!doc.error.empty()) {
        read.error = doc.error;
        return read;
    }
    const XmlElement& kml = *doc.root;
    if (kml.name != "kml" || kml.attributes.count("xmlns") == 0 ||
        kml.attributes.at("xmlns") != "http://www.opengis.net/kml/2.2" ||
        kml.attributes.count("xmlns:gx") == 0 ||
        kml.attributes.at("xmlns:gx") != "http://www.google.com/kml/ext/2.2" ||
        kml.ChildNames() != std::vector<std::string>{"Document"}) {
        read.error = "not a KML 2.2 root with one document";
        return read;
    }
    const XmlElement& document = *kml.children[0];
    if (document.ChildNames() != std::vector<std::string>{"name", "Schema", "Placemark"}) {
        read.error = "document is not a name, a schema and one placemark";
        return read;
    }
    const XmlElement& placemark = *document.First("Placemark");
    if (placemark.ChildNames() != std::vector<std::string>{"name", "gx:Track"}) {
        read.error = "placemark is not a name and one track";
        return read;
    }
    const XmlElement& track = *placemark.First("gx:Track");
    const auto whens = track.All("when");
    const auto coords = track.All("gx:coord");
    // The schema's order: every when, then every coord, then the extended data.
    std::vector<std::string> order(whens.size(), "when");
    order.insert(order.end(), coords.size(), "gx:coord");
    if (!whens.empty()) {
        order.push_back("ExtendedData");
    }
    if (track.ChildNames() != order || whens.size() != coords.size()) {
        read.error = "track elements out of order or unpaired";
        return read;
    }
    std::vector<const XmlElement*> speeds;
    std::vector<const XmlElement*> courses;
    if (!whens.empty()) {
        const XmlElement* data = track.First("ExtendedData")->First("SchemaData");
        if (data == nullptr || data->attributes.count("schemaUrl") == 0 ||
            data->attributes.at("schemaUrl") != "#fix") {
            read.error = "no schema data";
            return read;
        }
        for (const XmlElement* array : data->All("gx:SimpleArrayData")) {
            const std::string name =
                array->attributes.count("name") ? array->attributes.at("name") : "";
            (name == "speed" ? speeds : courses) = array->All("gx:value");
        }
        if (speeds.size() != whens.size() || courses.size() != whens.size()) {
            read.error = "speed or course arrays not one value per point";
            return read;
        }
    }
    for (size_t i = 0; i < whens.size(); ++i) {
        const std::vector<std::string> c = Split(coords[i]->text, ' ');
        if (c.size() != 3) {
            read.error = "gx:coord without three values";
            return read;
        }
        FilePoint p;
        p.longitude = c[0];
        p.latitude = c[1];
        p.altitude = c[2];
        p.time = whens[i]->text;
        p.speed = speeds[i]->text;
        p.course = courses[i]->text;
        read.points.push_back(p);
    }
    return read;
}

std::optional<std::string> HtmlTrackData(const std::string& page) {
    const std::string open = "<script type=\"application/json\" id=\"track-data\">";
    const size_t start = page.find(open);
    if (start == std::string::npos || page.find(open, start + 1) != std::string::npos) {
        return std::nullopt;
    }
    const size_t from = start + open.size();
    const size_t end = page.find("</script>", from);
    if (end == std::string::npos) {
        return std::nullopt;
    }
    return page.substr(from, end - from);
}

FileRead ReadHtml(const std::string& text) {
    FileRead read;
    if (!text.starts_with("<!DOCTYPE html>\n") || !text.ends_with("</html>\n")) {
        read.error = "not a whole HTML page";
        return read;
    }
    const std::optional<std::string> data = HtmlTrackData(text);
    if (!data || data->size() < 2 || data->find_first_not_of(" \n") != data->find('[') ||
        data->find_last_not_of(" \n") != data->rfind(']')) {
        read.error = "no track data array";
        return read;
    }
    std::vector<std::string> numbers;
    std::string number;
    for (char c : data->substr(data->find('[') + 1, data->rfind(']') - data->find('[') - 1)) {
        if (c == ',') {
            numbers.push_back(number);
            number.clear();
        } else if (c != '\n') {
            number += c;
        }
    }
    if (!number.empty()) {
        numbers.push_back(number);
    }
    if (numbers.size() % 6 != 0) {
        read.error = "track data is not six numbers per point";
        return read;
    }
    long long seconds = 0;
    for (size_t i = 0; i < numbers.size(); i += 6) {
        char* end = nullptr;
        // The first time counts from 1970, each later one from the time before.
        const long long time = std::strtoll(numbers[i].c_str(), &end, 10);
        if (end == numbers[i].c_str() || *end != '\0' || (i > 0 && time < 0)) {
            read.error = "bad time " + numbers[i];
            return read;
        }
        seconds = i == 0 ? time : seconds + time;
        // The page's times are the tracker's clock on a UTC scale, as ReadCsv reads it.
        FilePoint p;
        p.time = UtcText(seconds);
        p.latitude = numbers[i + 1];
        p.longitude = numbers[i + 2];
        p.altitude = numbers[i + 3];
        p.course = numbers[i + 4];
        p.speed = numbers[i + 5];
        read.points.push_back(p);
    }
    return read;
}

FileRead ReadLogFile(LogFormat format, const std::string& text) {
    switch (format) {
        case LogFormat::Csv:
            return ReadCsv(text);
        case LogFormat::Gpx:
            return ReadGpx(text);
        case LogFormat::Kml:
            return ReadKml(text);
        case LogFormat::Html:
            return ReadHtml(text);
    }
    return {};
}

std::vector<FilePoint> MapPoints(const std::vector<FilePoint>& csvPoints) {
    std::vector<FilePoint> out;
    for (const FilePoint& p : csvPoints) {
        const double lat = std::strtod(p.latitude.c_str(), nullptr);
        const double lon = std::strtod(p.longitude.c_str(), nullptr);
        if (lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180) {
            out.push_back(p);
        }
    }
    return out;
}

FileDownload DownloadToFile(const std::vector<sim::LogRecordBytes>& log,
                            const std::filesystem::path& path, LogFormat format,
                            const LogWriterOptions& options, const sim::SimFaults& faults) {
    sim::SimState state = sim::FactoryState();
    state.log = log;
    state.faults = faults;
    SimRig rig(std::move(state));
    FileDownload d;
    ProgressOnlyForm form([&](int percent) { d.progress.push_back(percent); });
    TaskStop stop;
    d.result = DownloadLogToFile(rig.Link(), path, format, options, form, stop);
    if (std::filesystem::is_regular_file(path)) {  // not /dev/full, which reads for ever
        d.text = ReadBytes(path);
    }
    for (const auto& p : rig.SentPayloads()) {
        d.logCommands += p[payload::kGroup] == 3;
    }
    return d;
}

}  // namespace quarnel::test
