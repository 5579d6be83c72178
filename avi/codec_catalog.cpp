#include "avi/codec_catalog.h"

#include "avi/fourcc.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace senki {

const std::vector<CodecEntry>& KnownCodecs()
{
    static const std::vector<CodecEntry> codecs = {
        {kFullFramesHandler, nullptr, QStringLiteral("全フレーム (非圧縮)"), true, false, false, false},
        {FourCC("MJPG"), "mjpeg", QStringLiteral("Motion JPEG"), false, true, false, false},
        {FourCC("XVID"), "mpeg4", QStringLiteral("MPEG-4 Part 2"), false, true, true, true},
        {FourCC("H264"), "libx264", QStringLiteral("H.264 (x264)"), false, true, true, true},
        {FourCC("FFV1"), "ffv1", QStringLiteral("FFV1 (可逆)"), true, false, true, false},
        {FourCC("ULRG"), "utvideo", QStringLiteral("Ut Video RGB (可逆)"), true, false, false, false},
        {FourCC("HFYU"), "huffyuv", QStringLiteral("HuffYUV (可逆)"), true, false, false, false},
        {FourCC("MAGY"), "magicyuv", QStringLiteral("MagicYUV (可逆)"), true, false, false, false},
        {FourCC("CRAM"), "msvideo1", QStringLiteral("Microsoft Video 1"), false, false, true, false},
        {FourCC("cvid"), "cinepak", QStringLiteral("Cinepak"), false, false, true, false},
    };
    return codecs;
}

std::vector<CodecEntry> AvailableCodecs()
{
    std::vector<CodecEntry> available;
    for (const CodecEntry& codec : KnownCodecs())
        if (!codec.encoder || avcodec_find_encoder_by_name(codec.encoder))
            available.push_back(codec);
    return available;
}

const CodecEntry* FindCodec(std::uint32_t handler)
{
    for (const CodecEntry& codec : KnownCodecs())
        if (codec.handler == handler)
            return &codec;
    return nullptr;
}

const CodecEntry* FindCodecByName(std::string_view name)
{
    // Short names that are not an encoder's own.
    static constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
        {"h264", "libx264"}, {"x264", "libx264"}, {"avc", "libx264"},   {"xvid", "mpeg4"},
        {"mjpg", "mjpeg"},   {"hfyu", "huffyuv"}, {"ulrg", "utvideo"},  {"magy", "magicyuv"},
        {"cram", "msvideo1"}, {"cvid", "cinepak"},
    };
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "none" || lower == "dib" || lower == "dib " || lower == "raw" || lower == "full")
        return FindCodec(kFullFramesHandler);
    for (const auto& [alias, encoder] : kAliases)
        if (lower == alias)
            lower = encoder;
    for (const CodecEntry& codec : KnownCodecs())
        if (codec.encoder && lower == codec.encoder)
            return &codec;
    return nullptr;
}

}  // namespace senki
