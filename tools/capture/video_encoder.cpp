#include "tools/capture/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace capture {

namespace {

std::string avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace

struct VideoEncoder::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t videoPts = 0;
    std::int64_t audioPts = 0;
    std::vector<std::int16_t> pending; // interleaved stereo not yet a whole audio frame
    std::size_t pendingFrames = 0;
    int width = 0;
    int height = 0;
    bool finished = false;

    ~State()
    {
        if (format && format->pb) avio_closep(&format->pb);
        avformat_free_context(format);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        sws_freeContext(scaler);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
    }

    // Moves every packet the encoder has ready into the file.
    bool drain(AVCodecContext* codec, AVStream* stream, std::string& error)
    {
        while (true) {
            int ret = avcodec_receive_packet(codec, packet);
            if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
            if (ret < 0) {
                error = std::string("the ") + codec->codec->name + " encoder failed: " + avError(ret);
                return false;
            }
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            ret = av_interleaved_write_frame(format, packet);
            if (ret < 0) {
                error = "writing failed: " + avError(ret);
                return false;
            }
        }
    }

    bool send(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string& error)
    {
        int ret = avcodec_send_frame(codec, frame);
        if (ret < 0) {
            error = std::string("the ") + codec->codec->name + " encoder refused a frame: " + avError(ret);
            return false;
        }
        return drain(codec, stream, error);
    }

    // Encodes `frames` pending audio frames (fewer than a whole frame only at the end).
    bool encodeAudio(std::size_t frames, std::string& error)
    {
        int ret = av_frame_make_writable(sound);
        if (ret < 0) {
            error = "out of memory in the audio encoder";
            return false;
        }
        const std::size_t full = static_cast<std::size_t>(audio->frame_size);
        // An encoder that cannot take a short last frame gets silence after it.
        const bool shortOk = (audio->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
        const std::size_t count = shortOk ? frames : full;
        sound->nb_samples = static_cast<int>(count);
        auto* left = reinterpret_cast<float*>(sound->data[0]);
        auto* right = reinterpret_cast<float*>(sound->data[1]);
        for (std::size_t i = 0; i < count; ++i) {
            const bool have = i < frames;
            left[i] = have ? pending[i * 2] / 32768.0f : 0.0f;
            right[i] = have ? pending[i * 2 + 1] / 32768.0f : 0.0f;
        }
        sound->pts = audioPts;
        audioPts += static_cast<std::int64_t>(count);
        std::copy(pending.begin() + static_cast<std::ptrdiff_t>(frames * 2),
                  pending.begin() + static_cast<std::ptrdiff_t>(pendingFrames * 2), pending.begin());
        pendingFrames -= frames;
        return send(audio, audioStream, sound, error);
    }
};

VideoEncoder::VideoEncoder() : state_(new State) {}

VideoEncoder::~VideoEncoder() { delete state_; }

std::int64_t VideoEncoder::videoFrames() const { return state_->videoPts; }

bool VideoEncoder::open(const std::string& path, const VideoSettings& settings, std::string& error)
{
    State& s = *state_;
    av_log_set_level(AV_LOG_ERROR);
    s.width = settings.width;
    s.height = settings.height;

    int ret = avformat_alloc_output_context2(&s.format, nullptr, "mp4", path.c_str());
    if (ret < 0 || !s.format) {
        error = "no MP4 muxer in this FFmpeg: " + avError(ret);
        return false;
    }

    // Video: H.264 in 4:2:0, BT.709 limited range, a key frame every two seconds.
    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    if (!h264) {
        error = "this FFmpeg has no libx264 encoder";
        return false;
    }
    s.video = avcodec_alloc_context3(h264);
    s.video->width = settings.width;
    s.video->height = settings.height;
    s.video->time_base = AVRational{1, settings.fps};
    s.video->framerate = AVRational{settings.fps, 1};
    s.video->pix_fmt = AV_PIX_FMT_YUV420P;
    s.video->gop_size = 2 * settings.fps;
    s.video->color_range = AVCOL_RANGE_MPEG;
    s.video->colorspace = AVCOL_SPC_BT709;
    s.video->color_primaries = AVCOL_PRI_BT709;
    s.video->color_trc = AVCOL_TRC_BT709;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER) s.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* videoOptions = nullptr;
    av_dict_set(&videoOptions, "preset", settings.preset, 0);
    av_dict_set_int(&videoOptions, "crf", settings.crf, 0);
    ret = avcodec_open2(s.video, h264, &videoOptions);
    av_dict_free(&videoOptions);
    if (ret < 0) {
        error = "the H.264 encoder refuses " + std::to_string(settings.width) + "x" + std::to_string(settings.height) +
                " at " + std::to_string(settings.fps) + " fps: " + avError(ret);
        return false;
    }
    s.videoStream = avformat_new_stream(s.format, nullptr);
    avcodec_parameters_from_context(s.videoStream->codecpar, s.video);
    s.videoStream->time_base = s.video->time_base;
    s.videoStream->avg_frame_rate = s.video->framerate;

    // Audio: AAC-LC, stereo, 192 kbit/s.
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!aac) {
        error = "this FFmpeg has no AAC encoder";
        return false;
    }
    s.audio = avcodec_alloc_context3(aac);
    s.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    s.audio->sample_rate = settings.sampleRate;
    av_channel_layout_default(&s.audio->ch_layout, 2);
    s.audio->bit_rate = 192000;
    s.audio->time_base = AVRational{1, settings.sampleRate};
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER) s.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ret = avcodec_open2(s.audio, aac, nullptr);
    if (ret < 0) {
        error = "the AAC encoder refuses " + std::to_string(settings.sampleRate) + " Hz stereo: " + avError(ret);
        return false;
    }
    s.audioStream = avformat_new_stream(s.format, nullptr);
    avcodec_parameters_from_context(s.audioStream->codecpar, s.audio);
    s.audioStream->time_base = s.audio->time_base;

    // Frames and buffers, made once.
    s.packet = av_packet_alloc();
    s.picture = av_frame_alloc();
    s.sound = av_frame_alloc();
    if (!s.packet || !s.picture || !s.sound) {
        error = "out of memory in the video encoder";
        return false;
    }
    s.picture->format = AV_PIX_FMT_YUV420P;
    s.picture->width = settings.width;
    s.picture->height = settings.height;
    s.sound->format = AV_SAMPLE_FMT_FLTP;
    s.sound->nb_samples = s.audio->frame_size;
    s.sound->sample_rate = settings.sampleRate;
    av_channel_layout_copy(&s.sound->ch_layout, &s.audio->ch_layout);
    if (av_frame_get_buffer(s.picture, 0) < 0 || av_frame_get_buffer(s.sound, 0) < 0) {
        error = "out of memory in the video encoder";
        return false;
    }
    s.pending.resize(static_cast<std::size_t>(s.audio->frame_size + settings.sampleRate) * 2);

    // GL gives full-range RGB; the video stores limited-range BT.709.
    s.scaler = sws_getContext(settings.width, settings.height, AV_PIX_FMT_RGBA, settings.width, settings.height,
                              AV_PIX_FMT_YUV420P, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!s.scaler) {
        error = "no colour conversion from RGBA to YUV 4:2:0";
        return false;
    }
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(s.scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);

    ret = avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (ret < 0) {
        error = path + ": cannot be created: " + avError(ret);
        return false;
    }
    // The index goes to the front when the file is finished, so that players
    // can start before the whole file has arrived.
    AVDictionary* muxOptions = nullptr;
    av_dict_set(&muxOptions, "movflags", "+faststart", 0);
    ret = avformat_write_header(s.format, &muxOptions);
    av_dict_free(&muxOptions);
    if (ret < 0) {
        error = path + ": cannot write the MP4 header: " + avError(ret);
        return false;
    }
    return true;
}

bool VideoEncoder::addFrame(const std::uint8_t* rgbaBottomUp, std::string& error)
{
    State& s = *state_;
    if (av_frame_make_writable(s.picture) < 0) {
        error = "out of memory in the video encoder";
        return false;
    }
    // A negative stride walks GL's bottom-up rows from the top of the picture.
    const int stride = s.width * 4;
    const std::uint8_t* top = rgbaBottomUp + static_cast<std::size_t>(s.height - 1) * stride;
    const std::uint8_t* planes[1] = {top};
    const int strides[1] = {-stride};
    sws_scale(s.scaler, planes, strides, 0, s.height, s.picture->data, s.picture->linesize);
    s.picture->pts = s.videoPts++;
    return s.send(s.video, s.videoStream, s.picture, error);
}

bool VideoEncoder::addAudio(const std::int16_t* stereo, std::size_t frames, std::string& error)
{
    State& s = *state_;
    const std::size_t full = static_cast<std::size_t>(s.audio->frame_size);
    while (frames > 0) {
        const std::size_t room = s.pending.size() / 2 - s.pendingFrames;
        const std::size_t take = std::min(frames, room);
        std::copy(stereo, stereo + take * 2, s.pending.begin() + static_cast<std::ptrdiff_t>(s.pendingFrames * 2));
        s.pendingFrames += take;
        stereo += take * 2;
        frames -= take;
        while (s.pendingFrames >= full)
            if (!s.encodeAudio(full, error)) return false;
    }
    return true;
}

bool VideoEncoder::finish(std::string& error)
{
    State& s = *state_;
    if (s.finished) return true;
    s.finished = true;
    if (s.pendingFrames > 0 && !s.encodeAudio(s.pendingFrames, error)) return false;
    if (!s.send(s.video, s.videoStream, nullptr, error) || !s.send(s.audio, s.audioStream, nullptr, error))
        return false;
    int ret = av_write_trailer(s.format);
    if (ret < 0) {
        error = "cannot finish the MP4 file: " + avError(ret);
        return false;
    }
    ret = avio_closep(&s.format->pb);
    if (ret < 0) {
        error = "cannot finish the MP4 file: " + avError(ret);
        return false;
    }
    return true;
}

} // namespace capture
