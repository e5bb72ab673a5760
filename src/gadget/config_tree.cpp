// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gadget/config_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quarnel::gadget {

int SystemConfigTree::MakeDir(const std::filesystem::path& dir) {
    return ::mkdir(dir.c_str(), 0755) == 0 ? 0 : errno;
}

int SystemConfigTree::WriteAttribute(const std::filesystem::path& file,
                                     const std::vector<uint8_t>& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // configfs takes an attribute in one write; a write cut short would leave half a value.
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    int error = 0;
    if (n < 0) {
        error = errno;
    } else if (static_cast<size_t>(n) != bytes.size()) {
        error = EIO;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

int SystemConfigTree::ReadAttribute(const std::filesystem::path& file, std::string& text) {
    text.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    char buffer[4096];
    int error = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return error;
}

int SystemConfigTree::MakeLink(const std::filesystem::path& target,
                               const std::filesystem::path& link) {
    return ::symlink(target.c_str(), link.c_str()) == 0 ? 0 : errno;
}

int SystemConfigTree::RemoveLink(const std::filesystem::path& link) {
    return ::unlink(link.c_str()) == 0 ? 0 : errno;
}

int SystemConfigTree::RemoveDir(const std::filesystem::path& dir) {
    return ::rmdir(dir.c_str()) == 0 ? 0 : errno;
}

bool SystemConfigTree::IsDir(const std::filesystem::path& dir) {
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> SystemConfigTree::List(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    DIR* stream = ::opendir(dir.c_str());
    if (stream == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(stream);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> AttributeText(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back('\n');
    return bytes;
}

}  // namespace quarnel::gadget
