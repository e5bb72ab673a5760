#include "gpslog/csv_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quarnel {

CsvFile::~CsvFile() {
    Close();
}

bool CsvFile::Create(const std::filesystem::path& path) {
    Close();
    // There are no share modes here; another program may open the file meanwhile.
    do {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        m_error = std::error_code(errno, std::generic_category());
        return false;
    }
    m_error.clear();
    m_size = 0;
    return true;
}

bool CsvFile::Write(std::string_view bytes) {
    if (m_fd < 0) {
        m_error = std::make_error_code(std::errc::bad_file_descriptor);
        return false;
    }
    const off_t before = m_size;
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n > 0) {
            m_size += n;
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // A write that takes nothing and names no error would loop for ever.
        m_error = n < 0 ? std::error_code(errno, std::generic_category())
                        : std::make_error_code(std::errc::io_error);
        // A full disk can take part of a line; drop that part, so the file ends with the
        // last whole line. Shrinking needs no space. Devices cannot be cut; no matter.
        if (m_size != before && ::ftruncate(m_fd, before) == 0) {
            ::lseek(m_fd, before, SEEK_SET);
            m_size = before;
        }
        return false;
    }
    return true;
}

bool CsvFile::Close() {
    if (m_fd < 0) {
        return true;
    }
    // Don't retry close on EINTR: the descriptor is gone either way on Linux.
    const int result = ::close(m_fd);
    m_fd = -1;
    if (result != 0 && errno != EINTR) {
        m_error = std::error_code(errno, std::generic_category());
        return false;
    }
    return true;
}

}  // namespace quarnel
