#include "avi/codec_catalog.h"

#include "avi/fourcc.h"

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
        {FourCC("CRAM"), "msvideo1", QStringLiteral("Microsoft Video 1"), false, true, true, false},
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

}  // namespace senki
