#include "tests/capture/media_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>

namespace capturetest {

namespace {

void decodeAudio(AVFormatContext* format, int streamIndex, MediaInfo& info)
{
    const AVCodecParameters* par = format->streams[streamIndex]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(ctx, par);
    if (avcodec_open2(ctx, codec, nullptr) < 0) {
        info.error = "cannot open the audio decoder";
        avcodec_free_context(&ctx);
        return;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(ctx, frame) == 0) {
            for (int i = 0; i < frame->nb_samples; ++i) {
                float v = 0.0f;
                if (frame->format == AV_SAMPLE_FMT_FLTP)
                    v = reinterpret_cast<const float*>(frame->data[0])[i];
                else if (frame->format == AV_SAMPLE_FMT_S16P)
                    v = reinterpret_cast<const int16_t*>(frame->data[0])[i] / 32768.0f;
                info.audioLeft.push_back(v);
            }
        }
    };
    av_seek_frame(format, -1, 0, AVSEEK_FLAG_BACKWARD);
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == streamIndex && avcodec_send_packet(ctx, packet) == 0) drain();
        av_packet_unref(packet);
    }
    avcodec_send_packet(ctx, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
}

} // namespace

MediaInfo probeMedia(const std::string& path)
{
    MediaInfo info;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        info.error = "cannot open " + path;
        return info;
    }
    if (avformat_find_stream_info(format, nullptr) < 0) {
        info.error = "no stream information in " + path;
        avformat_close_input(&format);
        return info;
    }
    info.durationSeconds = format->duration > 0 ? static_cast<double>(format->duration) / AV_TIME_BASE : 0.0;
    int audioIndex = -1;
    int videoIndex = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* s = format->streams[i];
        if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++info.videoStreams;
            videoIndex = static_cast<int>(i);
            info.videoCodec = avcodec_get_name(s->codecpar->codec_id);
            info.width = s->codecpar->width;
            info.height = s->codecpar->height;
            info.frameRate = av_q2d(s->avg_frame_rate);
        } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++info.audioStreams;
            audioIndex = static_cast<int>(i);
            info.audioCodec = avcodec_get_name(s->codecpar->codec_id);
            info.sampleRate = s->codecpar->sample_rate;
        }
    }
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == videoIndex) {
            ++info.videoPackets;
            const AVRational tb = format->streams[videoIndex]->time_base;
            info.videoSeconds = std::max(info.videoSeconds, (packet->pts + packet->duration) * av_q2d(tb));
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (audioIndex >= 0) decodeAudio(format, audioIndex, info);
    avformat_close_input(&format);
    return info;
}

double rms(const std::vector<float>& samples, int rate, double from, double to)
{
    const std::size_t a = static_cast<std::size_t>(from * rate);
    const std::size_t b = std::min(samples.size(), static_cast<std::size_t>(to * rate));
    if (b <= a) return 0.0;
    double sum = 0.0;
    for (std::size_t i = a; i < b; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(b - a));
}

} // namespace capturetest
