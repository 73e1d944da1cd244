#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>

// Reads up to size bytes at offset; 0 at the end or on an error.
inline std::size_t ReadFileAt(int fd, std::uint64_t offset, std::uint8_t* buffer,
                              std::size_t size) {
    ssize_t got = pread(fd, buffer, size, off_t(offset));
    return got > 0 ? std::size_t(got) : 0;
}

// Owns a file descriptor.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};
