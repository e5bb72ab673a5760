// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gadget/config_tree.h"
#include "support/temp_folder.h"

namespace quarnel::test {

// configfs's USB gadget tree, played on an ordinary folder: a directory made in it comes
// with the attribute files and default folders configfs would give it, attributes can only
// be written where they exist, UDC takes only a known controller's name (or a line end to
// unbind), and a directory goes with its attribute files by one rmdir, but not while
// something made in it is still there. Every call is logged in `calls`, and a call can be
// made to fail with `failOn` (path -> errno).
class ConfigfsFolder final : public gadget::ConfigTree {
public:
    ConfigfsFolder() { std::filesystem::create_directories(Root() / "usb_gadget"); }

    std::filesystem::path Root() const { return m_folder.Path() / "config"; }
    std::filesystem::path Gadgets() const { return Root() / "usb_gadget"; }

    std::set<std::string> controllers = {"dummy_udc.0"};
    std::set<std::string> busyControllers;
    bool hidFunction = true;                      // false: the kernel has no usb_f_hid
    std::map<std::filesystem::path, int> failOn;  // any call on that path fails so
    std::vector<std::string> calls;

    int MakeDir(const std::filesystem::path& dir) override {
        calls.push_back("mkdir " + Relative(dir));
        if (const int why = Injected(dir)) {
            return why;
        }
        std::error_code error;
        if (std::filesystem::exists(dir, error)) {
            return EEXIST;
        }
        if (!std::filesystem::is_directory(dir.parent_path(), error)) {
            return ENOENT;
        }
        const std::string kind = dir.parent_path().filename().string();
        const std::string name = dir.filename().string();
        if (kind == "functions" && (!hidFunction || name.rfind("hid.", 0) != 0)) {
            return ENOENT;
        }
        std::filesystem::create_directory(dir);
        if (kind == "usb_gadget") {
            Attributes(dir, {"idVendor", "idProduct", "bcdDevice", "bcdUSB", "UDC"});
            for (const char* group : {"strings", "configs", "functions", "os_desc"}) {
                std::filesystem::create_directory(dir / group);
            }
        } else if (kind == "strings") {
            Attributes(dir, {"manufacturer", "product", "serialnumber"});
        } else if (kind == "functions") {
            Attributes(dir, {"protocol", "subclass", "report_length", "report_desc", "dev"});
            std::ofstream(dir / "dev") << "245:0\n";
        } else if (kind == "configs") {
            Attributes(dir, {"MaxPower", "bmAttributes"});
            std::filesystem::create_directory(dir / "strings");
        }
        return 0;
    }

    int WriteAttribute(const std::filesystem::path& file,
                       const std::vector<uint8_t>& bytes) override {
        calls.push_back("write " + Relative(file) + " " + Printable(bytes));
        if (const int why = Injected(file)) {
            return why;
        }
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) {
            return ENOENT;
        }
        if (file.filename() == "UDC") {
            const std::string name(bytes.begin(), bytes.end());
            const std::string controller = name.substr(0, name.find('\n'));
            const std::string bound = ReadText(file);
            if (controller.empty()) {
                if (bound.empty()) {
                    return ENODEV;
                }
            } else if (!controllers.count(controller)) {
                return ENODEV;
            } else if (busyControllers.count(controller) || !bound.empty()) {
                return EBUSY;
            }
            std::ofstream(file, std::ios::trunc) << controller;
            return 0;
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return 0;
    }

    int ReadAttribute(const std::filesystem::path& file, std::string& text) override {
        calls.push_back("read " + Relative(file));
        if (const int why = Injected(file)) {
            return why;
        }
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) {
            return ENOENT;
        }
        text = ReadText(file);
        return 0;
    }

    int MakeLink(const std::filesystem::path& target, const std::filesystem::path& link) override {
        calls.push_back("link " + Relative(link) + " -> " + Relative(target));
        if (const int why = Injected(link)) {
            return why;
        }
        std::error_code error;
        std::filesystem::create_symlink(target, link, error);
        return error ? error.value() : 0;
    }

    int RemoveLink(const std::filesystem::path& link) override {
        calls.push_back("unlink " + Relative(link));
        std::error_code error;
        if (!std::filesystem::is_symlink(link, error)) {
            return ENOENT;
        }
        std::filesystem::remove(link);
        return 0;
    }

    int RemoveDir(const std::filesystem::path& dir) override {
        calls.push_back("rmdir " + Relative(dir));
        std::error_code error;
        if (!std::filesystem::is_directory(dir, error)) {
            return ENOENT;
        }
        // Attribute files go with their folder, and so do the default folders, unless
        // something made in them is still there.
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.is_symlink() ||
                (entry.is_directory() && !std::filesystem::is_empty(entry.path()))) {
                return ENOTEMPTY;
            }
        }
        if (dir.parent_path().filename() == "usb_gadget" && !ReadText(dir / "UDC").empty()) {
            return EBUSY;
        }
        std::filesystem::remove_all(dir);
        return 0;
    }

    bool IsDir(const std::filesystem::path& dir) override {
        std::error_code error;
        return std::filesystem::is_directory(dir, error);
    }

    std::vector<std::string> List(const std::filesystem::path& dir) override {
        gadget::SystemConfigTree system;
        return system.List(dir);
    }

    static std::string ReadText(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    static void Attributes(const std::filesystem::path& dir, std::vector<std::string> names) {
        for (const std::string& name : names) {
            std::ofstream(dir / name);
        }
    }
    int Injected(const std::filesystem::path& path) const {
        const auto at = failOn.find(path);
        return at == failOn.end() ? 0 : at->second;
    }
    std::string Relative(const std::filesystem::path& path) const {
        return path.lexically_relative(Gadgets()).string();
    }
    static std::string Printable(const std::vector<uint8_t>& bytes) {
        std::string text;
        for (uint8_t b : bytes) {
            text += b >= 0x20 && b < 0x7F ? std::string(1, static_cast<char>(b))
                    : b == '\n'           ? std::string("\\n")
                                          : std::string("\\x");
        }
        return text;
    }

    TempFolder m_folder;
};

}  // namespace quarnel::test
