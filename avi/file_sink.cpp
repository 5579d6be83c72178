#include "avi/file_sink.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace senki {

FileSink::FileSink(const QString& fileName, std::size_t bufferBytes)
    : buffer_(new std::uint8_t[bufferBytes]), capacity_(bufferBytes)
{
    const QByteArray path = QFile::encodeName(fileName);
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    failed_ = fd_ < 0;
}

FileSink::~FileSink()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileSink::WriteAll(const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= std::size_t(done);
        flushed_ += std::uint64_t(done);
    }
    return true;
}

void FileSink::Flush()
{
    if (failed_ || used_ == 0)
        return;
    const std::size_t size = used_;
    used_ = 0;
    if (!WriteAll(buffer_.get(), size))
        failed_ = true;
}

void FileSink::Append(const void* data, std::size_t size)
{
    if (failed_)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (used_ + size > capacity_) {
        Flush();
        if (failed_)
            return;
        if (size >= capacity_) {
            if (!WriteAll(bytes, size))
                failed_ = true;
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes, size);
    used_ += size;
}

void FileSink::Patch(std::uint64_t offset, const void* data, std::size_t size)
{
    Flush();
    if (failed_)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t done = ::pwrite(fd_, bytes, size, off_t(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            failed_ = true;
            return;
        }
        bytes += done;
        offset += std::uint64_t(done);
        size -= std::size_t(done);
    }
}

bool FileSink::Close()
{
    Flush();
    if (fd_ >= 0 && ::close(fd_) != 0)
        failed_ = true;
    fd_ = -1;
    return !failed_;
}

}  // namespace senki
