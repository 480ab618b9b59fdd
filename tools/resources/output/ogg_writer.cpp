#include "tools/resources/output/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/resources/output/byte_writer.h"

namespace res {

namespace {

constexpr int kSerial = 0x564F524E;
constexpr long kChunkFrames = 1024;

void AppendPage(const ogg_page& page, std::vector<uint8_t>* out) {
    out->insert(out->end(), page.header, page.header + page.header_len);
    out->insert(out->end(), page.body, page.body + page.body_len);
}

// Takes every finished block out of the encoder into the stream and its pages into out.
void DrainBlocks(vorbis_dsp_state* dsp, vorbis_block* block, ogg_stream_state* stream,
                 std::vector<uint8_t>* out) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(dsp, block) == 1) {
        vorbis_analysis(block, nullptr);
        vorbis_bitrate_addblock(block);
        while (vorbis_bitrate_flushpacket(dsp, &packet)) {
            ogg_stream_packetin(stream, &packet);
            while (ogg_stream_pageout(stream, &page)) AppendPage(page, out);
        }
    }
}

}  // namespace

bool WriteOgg(const std::string& path, const SoundBuffer& sound, float quality) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (sound.channels < 1 ||
        vorbis_encode_init_vbr(&info, sound.channels, sound.rate, quality) != 0) {
        vorbis_info_clear(&info);
        std::fprintf(stderr, "make_resources: the Vorbis encoder refused %d channels at %d Hz\n",
                     sound.channels, sound.rate);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "VORNAST main theme");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kSerial);

    std::vector<uint8_t> out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) AppendPage(page, &out);

    const long frames = static_cast<long>(sound.samples.size()) / sound.channels;
    for (long start = 0; start < frames; start += kChunkFrames) {
        const long count = std::min(kChunkFrames, frames - start);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        for (long i = 0; i < count; ++i) {
            for (int c = 0; c < sound.channels; ++c) {
                buffer[c][i] = sound.samples[static_cast<size_t>((start + i) * sound.channels + c)];
            }
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        DrainBlocks(&dsp, &block, &stream, &out);
    }
    vorbis_analysis_wrote(&dsp, 0);  // end of stream
    DrainBlocks(&dsp, &block, &stream, &out);
    while (ogg_stream_flush(&stream, &page)) AppendPage(page, &out);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return WriteFileBytes(path, out);
}

}  // namespace res
