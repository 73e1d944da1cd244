#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

// Reads a file at any offset. One reader serves a file's decoder and its
// frame walk at once: every read names its offset, so nobody shares a
// file position.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to size bytes at offset; how many were read, 0 at the end or
    // on an error. Safe to call from several threads.
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) = 0;
};

// Reads up to size bytes at offset into buffer; returns how many were read.
using ReadAt =
    std::function<std::size_t(std::uint64_t offset, std::uint8_t* buffer, std::size_t size)>;

// Reads from memory as a file of these bytes.
ReadAt ReadFromBytes(std::span<const std::uint8_t> bytes);

// Opens a file for the engine; nullptr when it cannot.
using FileOpener = std::function<std::shared_ptr<FileReader>(const QString& path)>;

// Opens a regular, non-empty file for reading. Anything else (missing,
// folder, FIFO, device) gives nullptr at once, never blocking.
std::shared_ptr<FileReader> OpenFileReader(const QString& path);
