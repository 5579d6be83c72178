#include "history/history_loader.h"

#include "history/history_record.h"
#include "history/save_layout.h"

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace senki {

namespace {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

    // Reads exactly `length` bytes from `offset`; false with errno set (0 for a
    // file that ended early) when that is not possible.
    bool ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t length) const
    {
        while (length > 0) {
            const ssize_t got = ::pread(fd_, buffer, length, off_t(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                if (got == 0)
                    errno = 0;
                return false;
            }
            buffer += got;
            offset += got;
            length -= std::size_t(got);
        }
        return true;
    }

private:
    int fd_;
};

SaveFileReading Failure(const std::string& path, const std::string& what, int error)
{
    SaveFileReading reading;
    reading.result = SaveFileReading::Result::Unreadable;
    reading.error = what + " \"" + path + "\": " + (error ? std::strerror(error) : "the file ended early");
    return reading;
}

}  // namespace

SaveFileReading ReadSaveFile(const std::string& path)
{
    const ReadOnlyFile file(path);
    if (!file.IsOpen())
        return Failure(path, "Cannot open file", errno);

    struct stat status {};
    if (::fstat(file.Descriptor(), &status) != 0)
        return Failure(path, "Cannot read file", errno);
    if (S_ISDIR(status.st_mode))
        return Failure(path, "Cannot read file", EISDIR);
    if (!S_ISREG(status.st_mode))
        return Failure(path, "Cannot read file", EINVAL);

    SaveFileReading reading;
    reading.fileLength = status.st_size;

    std::uint8_t head[kCountsEnd] = {};
    const std::size_t headLength =
        reading.fileLength >= kCountsEnd ? std::size_t(kCountsEnd) : std::size_t(reading.fileLength);
    if (!file.ReadAt(0, head, headLength))
        return Failure(path, "Cannot read file", errno);

    const auto offset = LocateHistory(head, headLength, reading.fileLength);
    // A history area shorter than one record holds nothing to show, so it is
    // treated as no history at all: the store is never left without record 0.
    if (!offset || reading.fileLength - *offset < kRecordSize) {
        reading.result = SaveFileReading::Result::NoHistory;
        if (offset)
            reading.historyOffset = *offset;
        return reading;
    }
    reading.historyOffset = *offset;

    const std::int64_t areaLength = reading.fileLength - *offset;
    if ((areaLength / kRecordSize) > INT32_MAX)
        return Failure(path, "Cannot load file", EFBIG);
    try {
        reading.historyArea.resize(std::size_t(areaLength));
    } catch (const std::bad_alloc&) {
        return Failure(path, "Cannot load file", ENOMEM);
    }
    if (!file.ReadAt(*offset, reading.historyArea.data(), reading.historyArea.size()))
        return Failure(path, "Cannot read file", errno);

    reading.result = SaveFileReading::Result::History;
    return reading;
}

}  // namespace senki
