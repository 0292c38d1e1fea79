#include "movie/swf/EditTextDef.h"
#include "movie/swf/BitReader.h"
#include <QStringDecoder>

namespace nimbrel::movie::swf {

namespace {

QString decode(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (utf8.hasError()) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return s;
}

} // namespace

ParseResult<EditTextDef> EditTextDef::parse(const uint8_t* body, size_t len) {
    BitReader r(body, len);
    EditTextDef t;
    t.id = r.u16();
    t.bounds = r.rect();
    r.align();
    const uint8_t f1 = r.u8();
    const uint8_t f2 = r.u8();
    if (r.failed()) return ParseResult<EditTextDef>::failure(QStringLiteral("edit text %1 is damaged").arg(t.id));
    const bool hasText = f1 & 0x80;
    t.wordWrap = f1 & 0x40;
    t.multiline = f1 & 0x20;
    t.password = f1 & 0x10;
    t.readOnly = f1 & 0x08;
    t.hasTextColor = f1 & 0x04;
    t.hasMaxLength = f1 & 0x02;
    t.hasFont = f1 & 0x01;
    const bool hasFontClass = f2 & 0x80;
    t.autoSize = f2 & 0x40;
    t.hasLayout = f2 & 0x20;
    t.noSelect = f2 & 0x10;
    t.border = f2 & 0x08;
    t.wasStatic = f2 & 0x04;
    t.html = f2 & 0x02;
    t.useOutlines = f2 & 0x01;
    if (t.hasFont) t.fontId = r.u16();
    if (hasFontClass) t.fontClass = decode(r.string());
    if (t.hasFont || hasFontClass) t.fontHeight = r.u16();
    if (t.hasTextColor) t.textColor = r.rgba();
    if (t.hasMaxLength) t.maxLength = r.u16();
    if (t.hasLayout) {
        const uint8_t a = r.u8();
        t.align = a <= 3 ? Align(a) : Align::Left;
        t.leftMargin = r.u16();
        t.rightMargin = r.u16();
        t.indent = r.u16();
        t.leading = r.s16();
    }
    if (r.failed()) return ParseResult<EditTextDef>::failure(QStringLiteral("edit text %1 is truncated").arg(t.id));
    t.variableName = decode(r.string());
    if (hasText) t.initialText = decode(r.string());
    return t;
}

ParseResult<TextRenderSettings> TextRenderSettings::parse(const uint8_t* body, size_t len, uint16_t* id) {
    BitReader r(body, len);
    TextRenderSettings t;
    *id = r.u16();
    t.advanced = r.ub(2) == 1;
    const uint32_t fit = r.ub(3);
    t.gridFit = fit <= 2 ? GridFit(fit) : GridFit::Pixel;
    r.ub(3);
    r.align();
    t.thickness = r.f32();
    t.sharpness = r.f32();
    if (r.failed()) return ParseResult<TextRenderSettings>::failure(QStringLiteral("text settings of %1 are damaged").arg(*id));
    return t;
}

} // namespace nimbrel::movie::swf
