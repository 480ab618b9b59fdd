#include "tests/sound/ogg_encoder.h"

#include <vorbis/vorbisenc.h>


namespace {

void AppendPage(std::vector<unsigned char>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<unsigned char> EncodeOggVorbis(const std::vector<int16_t>& samples, int channels,
                                           int rate, float quality) {
    std::vector<unsigned char> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 12345);  // fixed serial: the same input gives the same file

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

    const size_t frames = samples.size() / static_cast<size_t>(channels);
    size_t done = 0;
    bool ended = false;
    while (!ended) {
        const size_t chunk = frames - done < 1024 ? frames - done : 1024;
        if (chunk == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(chunk));
            for (size_t i = 0; i < chunk; ++i) {
                for (int c = 0; c < channels; ++c) {
                    buffer[c][i] =
                        samples[(done + i) * static_cast<size_t>(channels) +
                                static_cast<size_t>(c)] / 32768.0f;
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
        if (chunk == 0 && !ended) {
            while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
            ended = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}
