#include "firmware/input_file.h"

namespace quarnel {

bool InputFile::Open(const std::filesystem::path& path) {
    Close();
    m_file = std::fopen(path.c_str(), "rb");
    return m_file != nullptr;
}

bool InputFile::Read(uint8_t* dest, size_t size, size_t& got) {
    got = 0;
    if (m_file == nullptr) {
        return false;
    }
    // fread keeps reading until it has `size` bytes, the file ends or an error occurs, so
    // a short count is an error only when the stream says so. A directory opens on this
    // platform and fails here.
    got = std::fread(dest, 1, size, m_file);
    return std::ferror(m_file) == 0;
}

void InputFile::Close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

}  // namespace quarnel
