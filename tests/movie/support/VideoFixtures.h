#pragma once
// Video for tests: pictures encoded with libavcodec's own encoders (so the
// decoder sees real encoder output), the video tags of a movie, and a movie
// that shows one packet per frame.
#include "SwfBuilder.h"
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::test {

struct EncodedPacket {
    QByteArray data;
    bool keyframe = false;
};

// A picture split down the middle: left half one colour, right half another.
QImage splitPicture(int width, int height, QColor left, QColor right);

// One packet per picture; empty when the encoder is missing. keyInterval is
// the distance between intra pictures (flv) and ignored by screen video.
std::vector<EncodedPacket> encodePictures(const char* encoderName, const std::vector<QImage>& pictures,
                                          int keyInterval = 100);

void defineVideoStream(SwfBuilder& b, uint16_t id, uint16_t frames, uint16_t width, uint16_t height, uint8_t codec,
                       bool smoothing = false, uint8_t deblocking = 0);
void videoFrame(SwfBuilder& b, uint16_t streamId, uint16_t frameNumber, const QByteArray& data);

// Stream 1 at depth 1 under `matrix`; frame i holds packet i and moves the
// stream to ratio i. The stage is 400x300 pixels.
QByteArray videoMovie(uint8_t codec, uint16_t width, uint16_t height, const std::vector<QByteArray>& packets,
                      const swf::Matrix& matrix, bool smoothing = false);

} // namespace nimbrel::movie::test
