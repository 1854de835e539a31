// The built libraries encode and decode: a 1 kHz tone through each encoder,
// decoded back with the demuxers and decoders, keeps its length and pitch.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/support/Gui.h"

namespace {

std::string Narrow(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(n - 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

struct Case {
  const char* name;
  const char* encoder;
  const char* muxer;
  const char* ext;
  int rate;
  int channels;
  int64_t bitRate;
};

// Encodes `seconds` of a 1 kHz sine at half scale; returns an error text or "".
std::string EncodeTone(const Case& c, const std::string& path, double seconds) {
  const AVCodec* codec = avcodec_find_encoder_by_name(c.encoder);
  if (!codec) return std::string("no encoder ") + c.encoder;
  AVFormatContext* fmt = nullptr;
  if (avformat_alloc_output_context2(&fmt, nullptr, c.muxer, path.c_str()) < 0) return "no muxer";
  AVStream* st = avformat_new_stream(fmt, nullptr);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->sample_rate = c.rate;
  av_channel_layout_default(&ctx->ch_layout, c.channels);
  ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  if (c.bitRate) ctx->bit_rate = c.bitRate;
  if (fmt->oformat->flags & AVFMT_GLOBALHEADER) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  std::string err;
  if (avcodec_open2(ctx, codec, nullptr) < 0) err = "cannot open encoder";
  if (err.empty()) {
    avcodec_parameters_from_context(st->codecpar, ctx);
    st->time_base = AVRational{1, c.rate};
    if (avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) err = "cannot create file";
  }
  if (err.empty() && avformat_write_header(fmt, nullptr) < 0) err = "cannot write header";
  SwrContext* swr = nullptr;
  if (err.empty()) {
    AVChannelLayout in;
    av_channel_layout_default(&in, c.channels);
    swr_alloc_set_opts2(&swr, &ctx->ch_layout, ctx->sample_fmt, c.rate, &in, AV_SAMPLE_FMT_S16, c.rate, 0,
                        nullptr);
    swr_init(swr);
  }
  AVPacket* pkt = av_packet_alloc();
  auto drain = [&](AVFrame* f) {
    if (avcodec_send_frame(ctx, f) < 0) return false;
    while (avcodec_receive_packet(ctx, pkt) == 0) {
      av_packet_rescale_ts(pkt, ctx->time_base, st->time_base);
      pkt->stream_index = st->index;
      if (av_interleaved_write_frame(fmt, pkt) < 0) return false;
    }
    return true;
  };
  const int total = static_cast<int>(seconds * c.rate);
  const bool variable = codec->capabilities & (AV_CODEC_CAP_VARIABLE_FRAME_SIZE | AV_CODEC_CAP_SMALL_LAST_FRAME);
  int frameSize = ctx->frame_size > 0 ? ctx->frame_size : 1024;
  int64_t pts = 0;
  for (int done = 0; err.empty() && done < total; done += frameSize) {
    int n = std::min(frameSize, total - done);
    int alloc = (variable || ctx->frame_size == 0) ? n : frameSize;
    std::vector<int16_t> pcm(static_cast<size_t>(alloc) * c.channels, 0);
    for (int i = 0; i < n; ++i) {
      double v = 0.5 * std::sin(2 * std::numbers::pi * 1000.0 * (done + i) / c.rate);
      for (int ch = 0; ch < c.channels; ++ch) pcm[static_cast<size_t>(i) * c.channels + ch] = int16_t(v * 32767);
    }
    AVFrame* f = av_frame_alloc();
    f->nb_samples = alloc;
    f->format = ctx->sample_fmt;
    f->sample_rate = c.rate;
    av_channel_layout_copy(&f->ch_layout, &ctx->ch_layout);
    av_frame_get_buffer(f, 0);
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(pcm.data())};
    swr_convert(swr, f->data, alloc, src, alloc);
    f->pts = pts;
    pts += alloc;
    if (!drain(f)) err = "encode failed";
    av_frame_free(&f);
  }
  if (err.empty() && !drain(nullptr)) err = "flush failed";
  if (err.empty() && av_write_trailer(fmt) < 0) err = "cannot write trailer";
  av_packet_free(&pkt);
  swr_free(&swr);
  avcodec_free_context(&ctx);
  if (fmt->pb) avio_closep(&fmt->pb);
  avformat_free_context(fmt);
  return err;
}

struct Decoded {
  std::string error;
  double seconds = 0;
  double pitch = 0;
  int rate = 0;
};

Decoded DecodeTone(const std::string& path) {
  Decoded d;
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) {
    d.error = "cannot open";
    return d;
  }
  avformat_find_stream_info(fmt, nullptr);
  const AVCodec* codec = nullptr;
  int si = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (si < 0) {
    d.error = "no audio stream";
    avformat_close_input(&fmt);
    return d;
  }
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(ctx, fmt->streams[si]->codecpar);
  avcodec_open2(ctx, codec, nullptr);
  d.rate = ctx->sample_rate;
  SwrContext* swr = nullptr;
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  swr_alloc_set_opts2(&swr, &mono, AV_SAMPLE_FMT_FLT, ctx->sample_rate, &ctx->ch_layout, ctx->sample_fmt,
                      ctx->sample_rate, 0, nullptr);
  swr_init(swr);
  std::vector<float> out;
  AVPacket* pkt = av_packet_alloc();
  AVFrame* f = av_frame_alloc();
  auto take = [&] {
    while (avcodec_receive_frame(ctx, f) == 0) {
      size_t at = out.size();
      out.resize(at + f->nb_samples + 256);
      uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(out.data() + at)};
      int n = swr_convert(swr, dst, f->nb_samples + 256, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
      out.resize(at + std::max(n, 0));
    }
  };
  while (av_read_frame(fmt, pkt) >= 0) {
    if (pkt->stream_index == si) {
      avcodec_send_packet(ctx, pkt);
      take();
    }
    av_packet_unref(pkt);
  }
  avcodec_send_packet(ctx, nullptr);
  take();
  d.seconds = double(out.size()) / d.rate;
  // Pitch from rising zero crossings over the middle of the tone.
  size_t from = out.size() / 4, to = out.size() * 3 / 4;
  int crossings = 0;
  size_t first = 0, last = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if (out[i - 1] < 0 && out[i] >= 0) {
      if (!crossings) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings > 1) d.pitch = double(crossings - 1) * d.rate / double(last - first);
  av_frame_free(&f);
  av_packet_free(&pkt);
  swr_free(&swr);
  avcodec_free_context(&ctx);
  avformat_close_input(&fmt);
  return d;
}

class CodecSmoke : public testing::TestWithParam<Case> {};

TEST_P(CodecSmoke, ToneKeepsLengthAndPitch) {
  const Case& c = GetParam();
  std::string path = Narrow(testsupport::OutputPath(std::wstring(L"smoke-") +
                                                    std::wstring(c.name, c.name + strlen(c.name)) + L"." +
                                                    std::wstring(c.ext, c.ext + strlen(c.ext))));
  ASSERT_EQ(EncodeTone(c, path, 1.0), "");
  Decoded d = DecodeTone(path);
  ASSERT_EQ(d.error, "");
  EXPECT_EQ(d.rate, c.rate);
  EXPECT_NEAR(d.seconds, 1.0, 0.05) << c.name;
  EXPECT_NEAR(d.pitch, 1000.0, 2.0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Formats, CodecSmoke,
                         testing::Values(Case{"mp3", "libmp3lame", "mp3", "mp3", 44100, 2, 128000},
                                         Case{"ogg", "libvorbis", "ogg", "ogg", 44100, 2, 128000},
                                         Case{"wma", "wmav2", "asf", "wma", 44100, 2, 128000},
                                         Case{"mp2", "mp2", "mp2", "mp2", 44100, 2, 192000},
                                         Case{"wavpcm", "pcm_s16le", "wav", "wav", 44100, 2, 0},
                                         Case{"wavgsm", "libgsm_ms", "wav", "wav", 8000, 1, 0}),
                         [](const testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

} // namespace
