#pragma once
// Sequential output to one file through a large buffer: one system write per
// few megabytes, however small the pieces. Size fields that become known
// later are patched in place. The first failure sticks: every later call does
// nothing and Failed() stays true.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace senki {

class FileSink {
public:
    // Creates or truncates the file. Check Failed() afterwards.
    explicit FileSink(const QString& fileName, std::size_t bufferBytes = std::size_t(4) << 20);
    ~FileSink();
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void Append(const void* data, std::size_t size);
    // Overwrites bytes already appended (after writing out the buffer).
    void Patch(std::uint64_t offset, const void* data, std::size_t size);
    // Writes out the buffer and closes the file; false if anything failed.
    bool Close();

    std::uint64_t Position() const { return flushed_ + used_; }
    bool Failed() const { return failed_; }
    void MarkFailed() { failed_ = true; }

private:
    static constexpr std::size_t kDirectBytes = 128 << 10;
    void Flush();
    bool WriteAll(const std::uint8_t* data, std::size_t size);

    int fd_ = -1;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    std::uint64_t flushed_ = 0;
    bool failed_ = false;
};

}  // namespace senki
