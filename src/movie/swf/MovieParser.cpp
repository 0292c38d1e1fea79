#include "movie/swf/MovieParser.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/Container.h"
#include "movie/swf/ProjectorFile.h"
#include "movie/swf/ShapeParser.h"
#include "movie/swf/TagCode.h"

namespace nimbrel::movie::swf {

namespace {
constexpr int maxWarnings = 50;

QString decodeText(const std::string& s, int version) {
    return version >= 6 ? QString::fromStdString(s) : QString::fromLatin1(s.data(), qsizetype(s.size()));
}
} // namespace

ParseResult<std::shared_ptr<const Movie>> MovieParser::parse(const QByteArray& input) {
    using Result = ParseResult<std::shared_ptr<const Movie>>;
    // A stand-alone projector plays as the movie it carries.
    const QByteArray file = ProjectorFile::movieIn(input);
    auto unpacked = Container::unpack(file);
    if (!unpacked) return Result::failure(unpacked.error());

    auto movie = std::make_shared<Movie>();
    movie->fileBytes = uint32_t(file.size());
    Header& h = movie->header;
    h.compression = unpacked->compression;
    h.version = unpacked->version;
    h.fileLength = unpacked->declaredLength;
    const QByteArray& body = unpacked->body;
    BitReader r(reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()));
    h.stage = r.rect();
    h.frameRate = r.u16() / 256.0;
    h.frameCount = r.u16();
    if (r.failed()) return Result::failure(QStringLiteral("movie header is truncated"));
    movie->truncated = unpacked->truncated;

    MovieParser parser(*movie);
    if (unpacked->truncated) parser.warn(QStringLiteral("file is shorter than its header says"));
    TagReader tags(r.current(), r.remaining());
    parser.readTimeline(tags, movie->timeline, h.frameCount, false);
    if (tags.truncated()) {
        movie->truncated = true;
        parser.warn(QStringLiteral("tag stream is cut short"));
    }
    return Result(std::shared_ptr<const Movie>(std::move(movie)));
}

void MovieParser::warn(const QString& text) {
    if (movie_.warnings.size() < maxWarnings) movie_.warnings << text;
}

void MovieParser::readTimeline(TagReader& tags, Timeline& timeline, int declaredFrames, bool insideSprite) {
    const int version = movie_.header.version;
    Frame current;
    Tag tag;
    std::vector<std::pair<int, QString>> tableLabels; // from the scene table, placed once frames exist
    auto endFrame = [&] {
        timeline.frames.push_back(std::move(current));
        current = Frame{};
    };
    while (tags.next(tag)) {
        switch (tag.code) {
        case TagShowFrame:
            endFrame();
            break;
        case TagPlaceObject:
        case TagPlaceObject2:
        case TagPlaceObject3: {
            auto po = PlaceObject::parse(tag.code, tag.body, tag.length, version);
            if (po) current.tags.emplace_back(std::move(po.value()));
            else warn(po.error());
            break;
        }
        case TagRemoveObject:
        case TagRemoveObject2: {
            BitReader br(tag.body, tag.length);
            if (tag.code == TagRemoveObject) br.u16();
            RemoveObject ro{br.u16()};
            if (!br.failed()) current.tags.emplace_back(ro);
            break;
        }
        case TagDoAction:
            current.tags.emplace_back(DoAction{QByteArray(reinterpret_cast<const char*>(tag.body), tag.length)});
            break;
        case TagDoInitAction:
            if (tag.length >= 2)
                current.tags.emplace_back(DoInitAction{uint16_t(tag.body[0] | tag.body[1] << 8),
                                                       QByteArray(reinterpret_cast<const char*>(tag.body + 2),
                                                                  tag.length - 2)});
            break;
        case TagStartSound:
        case TagStartSound2: {
            auto start = StartSound::parse(tag.code, tag.body, tag.length, version);
            if (start) current.tags.emplace_back(std::move(start.value()));
            else warn(start.error());
            break;
        }
        case TagSoundStreamHead:
        case TagSoundStreamHead2: {
            auto head = SoundStreamHead::parse(tag.body, tag.length);
            if (head) timeline.streamHead = head.value();
            else warn(head.error());
            break;
        }
        case TagSoundStreamBlock:
            current.tags.emplace_back(
                SoundStreamBlock{QByteArray(reinterpret_cast<const char*>(tag.body), qsizetype(tag.length))});
            break;
        case TagVideoFrame:
            // Packets may come before or after the placement that shows them; they join their stream.
            addVideoFrame(tag);
            break;
        case TagFrameLabel: {
            BitReader br(tag.body, tag.length);
            // A frame may carry several labels; each names it. The count is bounded by the tags' size.
            current.labels.append(decodeText(br.string(), version));
            break;
        }
        case TagDefineSceneAndFrameLabelData: {
            BitReader br(tag.body, tag.length);
            // Every entry takes at least two bytes, so the counts cannot outgrow the tag.
            const uint32_t sceneCount = std::min<uint32_t>(br.encodedU32(), tag.length / 2);
            for (uint32_t i = 0; i < sceneCount && !br.failed(); ++i) {
                const uint32_t first = br.encodedU32();
                const QString name = decodeText(br.string(), version);
                if (!br.failed()) timeline.sceneTable.emplace_back(int(std::min<uint32_t>(first, INT32_MAX)), name);
            }
            const uint32_t labelCount = std::min<uint32_t>(br.encodedU32(), tag.length / 2);
            for (uint32_t i = 0; i < labelCount && !br.failed(); ++i) {
                const uint32_t frame = br.encodedU32();
                const QString label = decodeText(br.string(), version);
                if (!br.failed()) tableLabels.emplace_back(int(std::min<uint32_t>(frame, INT32_MAX)), label);
            }
            if (br.failed()) warn(QStringLiteral("scene table is cut short"));
            break;
        }
        case TagDoAbc:
        case TagDoAbcPlain:
        case TagSymbolClass:
            // Bytecode belongs to the main timeline; inside a sprite it is ignored.
            if (!insideSprite) readAbcTag(tag, int(timeline.frames.size()));
            break;
        default:
            // Sprites hold control tags only; definitions inside them (a sprite
            // defining itself, for instance) are ignored.
            if (!insideSprite) readDefinition(tag);
            break;
        }
    }
    // Tags after the last ShowFrame still belong to a frame.
    if (!current.tags.empty() || !current.labels.isEmpty()) endFrame();
    // The header's count rules; frames it declares but never shows stay empty.
    if (declaredFrames > 0 && timeline.frames.size() > size_t(declaredFrames))
        timeline.frames.resize(size_t(declaredFrames));
    timeline.declaredFrames = declaredFrames > 0 ? declaredFrames : std::max<int>(1, int(timeline.frames.size()));
    // The scene table's labels name frames too; one a FrameLabel tag already gave is not repeated.
    for (const auto& [frame, label] : tableLabels) {
        if (frame >= timeline.declaredFrames) continue;
        if (size_t(frame) >= timeline.frames.size()) timeline.frames.resize(size_t(frame) + 1);
        QStringList& labels = timeline.frames[size_t(frame)].labels;
        if (!labels.contains(label)) labels.append(label);
    }
}

void MovieParser::readDefinition(const Tag& tag) {
    auto idOf = [&]() -> int { return tag.length >= 2 ? tag.body[0] | tag.body[1] << 8 : -1; };
    const int id = idOf();
    switch (tag.code) {
    case TagSetBackgroundColor: {
        BitReader br(tag.body, tag.length);
        Rgba c = br.rgb();
        if (!br.failed()) movie_.backgroundColor = c;
        return;
    }
    case TagJpegTables:
        jpegTables_ = QByteArray(reinterpret_cast<const char*>(tag.body), tag.length);
        return;
    case TagExportAssets: {
        BitReader br(tag.body, tag.length);
        const int count = br.u16();
        for (int i = 0; i < count && !br.failed(); ++i) {
            uint16_t cid = br.u16();
            QString name = decodeText(br.string(), movie_.header.version);
            if (!br.failed() && !movie_.exports.contains(name.toLower())) movie_.exports.insert(name.toLower(), cid);
        }
        return;
    }
    case 57: // ImportAssets
    case 71: { // ImportAssets2: two reserved bytes after the URL
        BitReader br(tag.body, tag.length);
        AssetImport import;
        import.url = decodeText(br.string(), movie_.header.version);
        if (tag.code == 71) br.u16();
        const int count = br.u16();
        for (int i = 0; i < count && !br.failed(); ++i) {
            const uint16_t cid = br.u16();
            QString name = decodeText(br.string(), movie_.header.version);
            if (!br.failed()) import.assets.emplace_back(cid, std::move(name));
        }
        if (br.failed()) warn(QStringLiteral("ImportAssets tag is cut short"));
        if (!import.url.isEmpty()) movie_.imports.push_back(std::move(import));
        return;
    }
    case 87: // DefineBinaryData: id, four reserved bytes, then the data
        if (tag.length >= 6) movie_.binaryData[uint16_t(id)] = QByteArray(reinterpret_cast<const char*>(tag.body) + 6, qsizetype(tag.length) - 6);
        else warn(QStringLiteral("DefineBinaryData tag is cut short"));
        return;
    case 69: // FileAttributes: bit 0 of the first byte is "use network", bit 3 "ActionScript 3"
        if (tag.length >= 1) {
            movie_.useNetwork = (tag.body[0] & 0x01) != 0;
            movie_.actionScript3 = (tag.body[0] & 0x08) != 0;
        }
        return;
    case 65: { // ScriptLimits
        BitReader br(tag.body, tag.length);
        const int depth = br.u16();
        const int timeout = br.u16();
        if (!br.failed()) {
            movie_.maxRecursion = depth;
            movie_.scriptTimeout = timeout;
        }
        return;
    }
    case TagDefineButtonSound: {
        if (const Character* c = movie_.character(uint16_t(id)); c && tag.length >= 2)
            if (auto b = std::get_if<std::shared_ptr<const ButtonDef>>(c))
                if (!std::const_pointer_cast<ButtonDef>(*b)->readSounds(tag.body + 2, tag.length - 2))
                    warn(QStringLiteral("DefineButtonSound cut short"));
        return;
    }
    case TagDefineButtonCxform: {
        BitReader br(tag.body, tag.length);
        br.u16();
        ColorTransform cx = br.cxform(false);
        if (const Character* c = movie_.character(uint16_t(id)); c && !br.failed())
            if (auto b = std::get_if<std::shared_ptr<const ButtonDef>>(c))
                std::const_pointer_cast<ButtonDef>(*b)->cxform = cx;
        return;
    }
    case TagCsmTextSettings: {
        // Settings of a text defined earlier.
        uint16_t target = 0;
        if (auto s = TextRenderSettings::parse(tag.body, tag.length, &target)) movie_.textSettings[target] = s.value();
        else warn(s.error());
        return;
    }
    default:
        break;
    }
    if (id < 0) return;
    // The first definition of an id wins, as in the reference player.
    if (movie_.characters.count(uint16_t(id)) || movie_.bitmaps.contains(uint16_t(id)) || movie_.fonts.count(uint16_t(id)) ||
        movie_.sounds.count(uint16_t(id)) || movie_.videos.count(uint16_t(id)))
        return;
    QString error;
    switch (tag.code) {
    case TagDefineShape:
    case TagDefineShape2:
    case TagDefineShape3:
    case TagDefineShape4:
        if (auto s = parseShape(tag.code, tag.body, tag.length, &error))
            movie_.characters.emplace(uint16_t(id), std::make_shared<const ShapeDef>(std::move(*s)));
        else warn(QStringLiteral("shape %1: %2").arg(id).arg(error));
        break;
    case TagDefineMorphShape:
    case TagDefineMorphShape2:
        if (auto s = parseMorphShape(tag.code, tag.body, tag.length, &error))
            movie_.characters.emplace(uint16_t(id), std::make_shared<const MorphShapeDef>(std::move(*s)));
        else warn(QStringLiteral("morph shape %1: %2").arg(id).arg(error));
        break;
    case TagDefineBits:
    case TagDefineBitsJpeg2:
    case TagDefineBitsJpeg3:
    case TagDefineBitsJpeg4:
    case TagDefineBitsLossless:
    case TagDefineBitsLossless2:
        // Decoded when first drawn; see BitmapStore.
        movie_.bitmaps.add(uint16_t(id), tag.code,
                           QByteArray(reinterpret_cast<const char*>(tag.body), qsizetype(tag.length)), jpegTables_);
        break;
    case TagDefineButton:
    case TagDefineButton2:
        if (auto b = ButtonDef::parse(tag.code, tag.body, tag.length))
            movie_.characters.emplace(uint16_t(id), std::make_shared<const ButtonDef>(std::move(b.value())));
        else warn(b.error());
        break;
    case TagDefineSprite: {
        auto sprite = std::make_shared<SpriteDef>();
        sprite->id = uint16_t(id);
        sprite->byteLength = tag.length > 4 ? uint32_t(tag.length - 4) : 0;
        BitReader br(tag.body, tag.length);
        br.u16();
        const int frames = br.u16();
        TagReader inner(br.current(), br.remaining());
        readTimeline(inner, sprite->timeline, frames, true);
        if (inner.truncated()) warn(QStringLiteral("sprite %1 is cut short").arg(id));
        movie_.characters.emplace(uint16_t(id), std::shared_ptr<const SpriteDef>(std::move(sprite)));
        break;
    }
    case TagDefineFont:
    case TagDefineFont2:
    case TagDefineFont3:
        if (auto f = FontDef::parse(tag.code, tag.body, tag.length)) movie_.fonts.emplace(uint16_t(id), std::move(f.value()));
        else warn(f.error());
        break;
    case TagDefineText:
    case TagDefineText2:
        if (auto t = TextDef::parse(tag.code, tag.body, tag.length))
            movie_.characters.emplace(uint16_t(id), std::make_shared<const TextDef>(std::move(t.value())));
        else warn(t.error());
        break;
    case TagDefineSound:
        if (auto snd = SoundDef::parse(tag.body, tag.length))
            movie_.sounds.emplace(uint16_t(id), std::make_shared<const SoundDef>(std::move(snd.value())));
        else warn(snd.error());
        break;
    case TagDefineEditText:
        if (auto e = EditTextDef::parse(tag.body, tag.length))
            movie_.characters.emplace(uint16_t(id), std::make_shared<const EditTextDef>(std::move(e.value())));
        else warn(e.error());
        break;
    case TagDefineVideoStream:
        if (auto v = VideoStreamDef::parse(tag.body, tag.length))
            movie_.videos.emplace(uint16_t(id), std::make_shared<VideoStreamDef>(std::move(v.value())));
        else warn(v.error());
        break;
    default:
        break;
    }
}

void MovieParser::readAbcTag(const Tag& tag, int frame) {
    if (tag.code == TagSymbolClass) {
        QString error;
        for (SymbolClassLink& link : SymbolClassLink::parse(tag.body, tag.length, frame, &error))
            movie_.symbolClasses.push_back(std::move(link));
        if (!error.isEmpty()) warn(error);
        return;
    }
    auto block = AbcBlock::parse(tag.code, tag.body, tag.length);
    if (!block) {
        warn(block.error());
        return;
    }
    block->frame = frame;
    movie_.abcBlocks.push_back(std::move(block.value()));
}

void MovieParser::addVideoFrame(const Tag& tag) {
    auto packet = VideoFramePacket::parse(tag.body, tag.length);
    if (!packet) {
        warn(packet.error());
        return;
    }
    auto it = movie_.videos.find(packet->streamId);
    if (it == movie_.videos.end()) {
        warn(QStringLiteral("VideoFrame for unknown stream %1").arg(packet->streamId));
        return;
    }
    // The stream is still being read: the movie is not shared yet.
    auto stream = std::const_pointer_cast<VideoStreamDef>(it->second);
    stream->frames.emplace(packet->frameNumber, std::move(packet->data));
}

} // namespace nimbrel::movie::swf
