#include "VideoFixtures.h"
#include "AvEncoder.h"
#include <QPainter>
#include <algorithm>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

namespace nimbrel::movie::test {

namespace {
// Studio-range BT.601, the rule the decoding side undoes.
uint8_t lumaOf(QRgb p) {
    return uint8_t(std::clamp(16 + (65.481 * qRed(p) + 128.553 * qGreen(p) + 24.966 * qBlue(p)) / 255.0, 0.0, 255.0));
}
uint8_t blueDiffOf(QRgb p) {
    return uint8_t(std::clamp(128 + (-37.797 * qRed(p) - 74.203 * qGreen(p) + 112.0 * qBlue(p)) / 255.0, 0.0, 255.0));
}
uint8_t redDiffOf(QRgb p) {
    return uint8_t(std::clamp(128 + (112.0 * qRed(p) - 93.786 * qGreen(p) - 18.214 * qBlue(p)) / 255.0, 0.0, 255.0));
}

void fill(AVFrame* frame, const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (frame->format == AV_PIX_FMT_BGR24) {
                uint8_t* px = frame->data[0] + y * frame->linesize[0] + x * 3;
                px[0] = uint8_t(qBlue(row[x])), px[1] = uint8_t(qGreen(row[x])), px[2] = uint8_t(qRed(row[x]));
                continue;
            }
            frame->data[0][y * frame->linesize[0] + x] = lumaOf(row[x]);
            if (x % 2 == 0 && y % 2 == 0) {
                frame->data[1][y / 2 * frame->linesize[1] + x / 2] = blueDiffOf(row[x]);
                frame->data[2][y / 2 * frame->linesize[2] + x / 2] = redDiffOf(row[x]);
            }
        }
    }
}
} // namespace

QImage splitPicture(int width, int height, QColor left, QColor right) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(right);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height, left);
    return image;
}

std::vector<EncodedPacket> encodePictures(const char* encoderName, const std::vector<QImage>& pictures,
                                          int keyInterval) {
    std::vector<EncodedPacket> packets;
    if (pictures.empty()) return packets;
    auto encoder = AvEncoder::open(encoderName, [&](AVCodecContext* ctx, const AVCodec* codec) {
        ctx->width = pictures.front().width();
        ctx->height = pictures.front().height();
        ctx->time_base = AVRational{1, 25};
        ctx->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
        ctx->gop_size = keyInterval;
        ctx->max_b_frames = 0;
        // Keyframes only where asked: a change of picture must not start one.
        av_opt_set_int(ctx, "sc_threshold", 1000000000, AV_OPT_SEARCH_CHILDREN);
        // Fine quantisation, so colours come back close to what went in.
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = FF_QP2LAMBDA * 2;
    });
    if (!encoder) return packets;
    AVCodecContext* ctx = encoder->context();
    int64_t pts = 0;
    for (const QImage& picture : pictures) {
        AVFrame* frame = encoder->frame();
        frame->format = ctx->pix_fmt;
        frame->width = ctx->width;
        frame->height = ctx->height;
        av_frame_get_buffer(frame, 0);
        fill(frame, picture);
        frame->pts = pts++;
        frame->quality = ctx->global_quality;
        encoder->send();
    }
    for (auto& p : encoder->finish()) packets.push_back({std::move(p.data), p.keyframe});
    return packets;
}

void defineVideoStream(SwfBuilder& b, uint16_t id, uint16_t frames, uint16_t width, uint16_t height, uint8_t codec,
                       bool smoothing, uint8_t deblocking) {
    BitWriter w;
    w.u16(id);
    w.u16(frames);
    w.u16(width);
    w.u16(height);
    w.u8(uint8_t((deblocking & 7) << 1 | (smoothing ? 1 : 0)));
    w.u8(codec);
    b.tag(60, w.data());
}

void videoFrame(SwfBuilder& b, uint16_t streamId, uint16_t frameNumber, const QByteArray& data) {
    BitWriter w;
    w.u16(streamId);
    w.u16(frameNumber);
    w.bytes(data);
    b.tag(61, w.data(), true);
}

QByteArray videoMovie(uint8_t codec, uint16_t width, uint16_t height, const std::vector<QByteArray>& packets,
                      const swf::Matrix& matrix, bool smoothing) {
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    defineVideoStream(b, 1, uint16_t(packets.size()), width, height, codec, smoothing);
    for (size_t i = 0; i < packets.size(); ++i) {
        videoFrame(b, 1, uint16_t(i), packets[i]);
        Placement p;
        p.depth = 1;
        if (i == 0) {
            p.characterId = 1;
            p.matrix = matrix;
        } else {
            p.move = true;
        }
        p.ratio = uint16_t(i);
        b.placeObject2(p);
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 8000, 0, 6000}, 10, uint16_t(packets.size()));
}

} // namespace nimbrel::movie::test
