#include "platform/pdf/PdfDocument.h"

#include "platform/pdf/FileBlockSource.h"
#include "platform/pdf/PdfLimits.h"
#include "platform/pdf/QpdfSupport.h"
#include "platform/text/IcuLibrary.h"

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QUtil.hh>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

namespace rz::pdf {

namespace {

// The parsed file and what it was read from: objects taken from the
// document keep this alive, so the bytes a memory document reads from
// outlive every handle.
struct Source {
    std::shared_ptr<const std::string> bytes; // null for a file read from its path
    QPDF qpdf;
};

enum class LoadResult { Ok, PasswordNeeded, NotPDF, UnsupportedSecurity };

// The revision of the security handler of a file qpdf refused for its
// password, from the trailer it had read by then; 0 when not known.
int refusedRevision(QPDF& qpdf)
{
    try {
        QPDFObjectHandle r = qpdf.getTrailer().getKey("/Encrypt").getKey("/R");
        if (r.isInteger())
            return r.getIntValueAsInt();
    } catch (...) {
    }
    return 0;
}

// `revision`, when given, is set for a file that needs another password.
LoadResult load(const std::string& path, const std::shared_ptr<const std::string>& bytes,
                const std::string& password, std::shared_ptr<Source>* out, int* revision = nullptr)
{
    std::shared_ptr<Source> source;
    try {
        source = std::make_shared<Source>();
        source->bytes = bytes;
        configureQuietQpdf(source->qpdf);
        if (bytes)
            source->qpdf.processMemoryFile(path.c_str(), bytes->data(), bytes->size(),
                                           password.c_str());
        else
            source->qpdf.processInputSource(std::make_shared<FileBlockSource>(path), password.c_str());
        *out = std::move(source);
        return LoadResult::Ok;
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password) {
            if (revision && source)
                *revision = refusedRevision(source->qpdf);
            return LoadResult::PasswordNeeded;
        }
        // A security handler other than the standard password one (public-key
        // /Adobe.PubSec and the like) or an encryption version qpdf lacks.
        if (e.getErrorCode() == qpdf_e_unsupported)
            return LoadResult::UnsupportedSecurity;
        return LoadResult::NotPDF;
    } catch (...) {
        return LoadResult::NotPDF;
    }
}

// The password as given, then the other spellings a non-ASCII password may
// have been encrypted with (UTF-8, PDFDocEncoding, Windows-1252, ...). With
// `saslPrep` (AES-256 handlers, whose passwords are UTF-8 prepared by
// SASLprep) each spelling's prepared form is tried before it; an ASCII
// password is its own prepared form, or has none (control characters).
std::vector<std::string> passwordCandidates(const std::string& password, bool saslPrep)
{
    std::vector<std::string> spellings{password};
    const bool ascii = std::all_of(password.begin(), password.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return spellings;
    try {
        for (const std::string& p : QUtil::possible_repaired_encodings(password))
            if (std::find(spellings.begin(), spellings.end(), p) == spellings.end())
                spellings.push_back(p);
    } catch (...) {
    }
    if (!saslPrep)
        return spellings;
    std::vector<std::string> out;
    auto add = [&out](const std::string& p) {
        if (std::find(out.begin(), out.end(), p) == out.end())
            out.push_back(p);
    };
    for (const std::string& spelling : spellings) {
        if (const auto prepared = saslPreparedText(spelling))
            add(*prepared);
        add(spelling);
    }
    return out;
}

bool isPageNode(QPDFObjectHandle& node, bool* isTreeNode)
{
    QPDFObjectHandle type = node.getKey("/Type");
    QPDFObjectHandle kids = node.getKey("/Kids");
    const bool typedPage = type.isName() && type.getName() == "/Page";
    *isTreeNode = !typedPage && kids.isArray();
    return !*isTreeNode && !(type.isName() && type.getName() == "/Pages");
}

// The pages in document order, walked without recursion; loops, repeated
// nodes and trees deeper than kMaxPageTreeDepth stop the walk where they are.
std::vector<QPDFObjectHandle> collectPages(QPDF& qpdf)
{
    std::vector<QPDFObjectHandle> pages;
    try {
        QPDFObjectHandle root = qpdf.getRoot().getKey("/Pages");
        std::set<QPDFObjGen> visited;
        std::vector<std::pair<QPDFObjectHandle, int>> stack{{root, 0}};
        while (!stack.empty()) {
            auto [node, depth] = stack.back();
            stack.pop_back();
            try {
                if (!node.isDictionary())
                    continue;
                if (node.isIndirect() && !visited.insert(node.getObjGen()).second)
                    continue;
                bool treeNode = false;
                if (isPageNode(node, &treeNode)) {
                    pages.push_back(node);
                } else if (treeNode && depth < kMaxPageTreeDepth) {
                    QPDFObjectHandle kids = node.getKey("/Kids");
                    for (int i = kids.getArrayNItems() - 1; i >= 0; --i)
                        stack.emplace_back(kids.getArrayItem(i), depth + 1);
                }
            } catch (...) {
                // A damaged node: skip it and go on with its siblings.
            }
        }
    } catch (...) {
    }
    return pages;
}

std::string headerVersion(const std::string& path, const std::shared_ptr<const std::string>& bytes)
{
    std::string head;
    if (bytes) {
        head = bytes->substr(0, 1024);
    } else {
        std::ifstream in(path, std::ios::binary);
        head.resize(1024);
        in.read(head.data(), std::streamsize(head.size()));
        head.resize(size_t(std::max<std::streamsize>(0, in.gcount())));
    }
    const size_t at = head.find("%PDF-");
    if (at == std::string::npos)
        return {};
    size_t end = at + 5;
    while (end < head.size() && (std::isdigit(static_cast<unsigned char>(head[end])) || head[end] == '.'))
        ++end;
    return head.substr(at + 5, end - at - 5);
}

Object inheritedValue(const Object& dict, std::string_view key)
{
    Object node = dict;
    for (int depth = 0; depth < kMaxPageTreeDepth && node.isDictionary(); ++depth) {
        Object v = node.get(key);
        if (!v.isNull())
            return v;
        node = node.get("Parent");
    }
    return {};
}

std::optional<Rect> readBox(const Object& value)
{
    if (!value.isArray() || value.size() != 4)
        return std::nullopt;
    double v[4];
    for (size_t i = 0; i < 4; ++i) {
        const auto n = value.at(i).number();
        if (!n || !std::isfinite(*n))
            return std::nullopt;
        v[i] = *n;
    }
    return Rect(v[0], v[1], v[2] - v[0], v[3] - v[1]).standardized();
}

bool usable(const Rect& r)
{
    return !r.isNull() && !r.isEmpty();
}

int normaliseRightAngle(long long degrees)
{
    if (degrees % 90 != 0)
        return 0;
    return int(((degrees % 360) + 360) % 360);
}

} // namespace

struct Document::Impl {
    std::string path;
    std::shared_ptr<const std::string> bytes;
    std::shared_ptr<Source> source; // null while locked
    bool encrypted = false;
    bool ownerMatched = false;
    std::vector<QPDFObjectHandle> pages;
    std::string lockedVersion;
    std::string password;
    int revision = 0; // of the security handler; 0 when not encrypted or not known

    void adopt(std::shared_ptr<Source> s, const std::string& usedPassword)
    {
        source = std::move(s);
        password = usedPassword;
        try {
            encrypted = source->qpdf.isEncrypted();
            ownerMatched = encrypted && source->qpdf.ownerPasswordMatched();
            int r = 0, p = 0;
            if (encrypted && source->qpdf.isEncrypted(r, p))
                revision = r;
        } catch (...) {
        }
        pages = collectPages(source->qpdf);
        // Suppressed warnings are still kept by qpdf: drop those of opening.
        try {
            source->qpdf.getWarnings();
        } catch (...) {
        }
    }

    Object wrap(const QPDFObjectHandle& h) const
    {
        return Object(h, std::shared_ptr<const void>(source));
    }
};

Document::Document() : impl_(std::make_unique<Impl>()) {}
Document::~Document() = default;

std::shared_ptr<Document> Document::open(const std::string& path)
{
    return open(path, nullptr);
}

std::shared_ptr<Document> Document::openData(std::string bytes)
{
    return openData(std::move(bytes), nullptr);
}

namespace {

std::shared_ptr<Document> finishOpen(std::shared_ptr<Document> doc, Document::Impl& impl,
                                     OpenStatus* status)
{
    auto set = [&](OpenStatus s) {
        if (status)
            *status = s;
    };
    std::shared_ptr<Source> source;
    switch (load(impl.path, impl.bytes, "", &source, &impl.revision)) {
    case LoadResult::Ok:
        impl.adopt(std::move(source), "");
        set(OpenStatus::Ok);
        return doc;
    case LoadResult::PasswordNeeded:
        impl.encrypted = true;
        impl.lockedVersion = headerVersion(impl.path, impl.bytes);
        set(OpenStatus::Ok);
        return doc;
    case LoadResult::UnsupportedSecurity: set(OpenStatus::UnsupportedSecurity); return nullptr;
    case LoadResult::NotPDF: break;
    }
    set(OpenStatus::NotPDF);
    return nullptr;
}

} // namespace

std::shared_ptr<Document> Document::open(const std::string& path, OpenStatus* status)
{
    auto set = [&](OpenStatus s) {
        if (status)
            *status = s;
    };
    std::error_code ec;
    const auto st = std::filesystem::status(path, ec);
    if (path.empty() || ec || !std::filesystem::exists(st) || std::filesystem::is_directory(st)) {
        set(OpenStatus::NotFound);
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(st)) {
        // Devices, pipes and sockets: never read as a document (they may not end).
        set(OpenStatus::NotPDF);
        return nullptr;
    }
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            set(OpenStatus::Unreadable);
            return nullptr;
        }
        if (probe.peek() == std::ifstream::traits_type::eof()) {
            set(OpenStatus::NotPDF);
            return nullptr;
        }
    }
    std::shared_ptr<Document> doc(new Document());
    doc->impl_->path = path;
    return finishOpen(doc, *doc->impl_, status);
}

std::shared_ptr<Document> Document::openData(std::string bytes, OpenStatus* status)
{
    if (bytes.empty()) {
        if (status)
            *status = OpenStatus::NotPDF;
        return nullptr;
    }
    std::shared_ptr<Document> doc(new Document());
    doc->impl_->path = "memory";
    doc->impl_->bytes = std::make_shared<const std::string>(std::move(bytes));
    return finishOpen(doc, *doc->impl_, status);
}

bool Document::isEncrypted() const
{
    return impl_->encrypted;
}

bool Document::isUnlocked() const
{
    return impl_->source != nullptr;
}

bool Document::unlockWithPassword(const std::string& password)
{
    if (impl_->source && !impl_->encrypted)
        return true;
    // Revisions 5 and 6 take SASLprep'd passwords; so may a file whose revision is not known.
    const bool saslPrep = impl_->revision == 0 || impl_->revision >= 5;
    for (const std::string& candidate : passwordCandidates(password, saslPrep)) {
        std::shared_ptr<Source> source;
        if (load(impl_->path, impl_->bytes, candidate, &source) != LoadResult::Ok)
            continue;
        bool owner = false;
        try {
            owner = source->qpdf.ownerPasswordMatched();
        } catch (...) {
        }
        // Already open with the owner's rights: a user password does not take them away.
        if (!(impl_->source && impl_->ownerMatched && !owner))
            impl_->adopt(std::move(source), candidate);
        return true;
    }
    return false;
}

bool Document::allowsPrinting() const
{
    if (!impl_->source)
        return false;
    if (!impl_->encrypted || impl_->ownerMatched)
        return true;
    try {
        return impl_->source->qpdf.allowPrintLowRes();
    } catch (...) {
        return false;
    }
}

bool Document::allowsCopying() const
{
    if (!impl_->source)
        return false;
    if (!impl_->encrypted || impl_->ownerMatched)
        return true;
    try {
        return impl_->source->qpdf.allowExtractAll();
    } catch (...) {
        return false;
    }
}

bool Document::ownerPasswordMatched() const
{
    return impl_->source && impl_->ownerMatched;
}

int Document::pageCount() const
{
    return int(impl_->pages.size());
}

Page Document::page(int number) const
{
    if (number < 1 || number > pageCount())
        return {};
    return Page(shared_from_this(), number, impl_->wrap(impl_->pages[size_t(number - 1)]));
}

Object Document::catalog() const
{
    if (!impl_->source)
        return {};
    try {
        return impl_->wrap(impl_->source->qpdf.getRoot());
    } catch (...) {
        return {};
    }
}

Object Document::trailer() const
{
    if (!impl_->source)
        return {};
    try {
        return impl_->wrap(impl_->source->qpdf.getTrailer());
    } catch (...) {
        return {};
    }
}

Object Document::info() const
{
    const Object i = trailer().get("Info");
    return i.isDictionary() ? i : Object();
}

std::string Document::infoString(const std::string& key) const
{
    return info().get(key).text().value_or(std::string());
}

std::string Document::version() const
{
    if (!impl_->source)
        return impl_->lockedVersion;
    try {
        return impl_->source->qpdf.getPDFVersion();
    } catch (...) {
        return {};
    }
}

const std::string& Document::path() const
{
    return impl_->path;
}

const std::string& Document::password() const
{
    return impl_->password;
}

// ---------------------------------------------------------------------------

Rect Page::boxRect(Box box) const
{
    if (!isValid())
        return Rect::null();
    const std::optional<Rect> media = readBox(inheritedValue(dict_, "MediaBox"));
    Rect crop = media.value_or(Rect::null());
    if (const auto c = readBox(inheritedValue(dict_, "CropBox"))) {
        if (!media) {
            crop = *c;
        } else {
            const Rect clipped = c->intersection(*media);
            if (usable(clipped))
                crop = clipped;
        }
    }
    switch (box) {
    case Box::Media: return media.value_or(Rect::null());
    case Box::Crop: return crop;
    case Box::Bleed:
    case Box::Trim:
    case Box::Art: {
        static constexpr std::string_view kKeys[] = {"BleedBox", "TrimBox", "ArtBox"};
        const auto b = readBox(dict_.get(kKeys[int(box) - int(Box::Bleed)]));
        if (!b)
            return crop;
        const Rect clipped = crop.isNull() ? *b : b->intersection(crop);
        return usable(clipped) ? clipped : crop;
    }
    }
    return crop;
}

int Page::rotationAngle() const
{
    const Object r = inheritedValue(dict_, "Rotate");
    if (const auto i = r.integer())
        return normaliseRightAngle(*i);
    if (const auto d = r.number(); d && std::isfinite(*d) && std::fabs(*d) < 1e15)
        return normaliseRightAngle(static_cast<long long>(*d));
    return 0;
}

Object Page::dictionary() const
{
    return dict_;
}

Object Page::resources() const
{
    const Object r = inheritedValue(dict_, "Resources");
    return r.isDictionary() ? r : Object();
}

std::string Page::contentsData(bool* complete) const
{
    bool ok = true;
    std::string out;
    bool first = true;
    auto add = [&](const Object& stream) {
        if (!stream.isStream())
            return;
        StreamData d = stream.streamData();
        if (d.format != StreamFormat::Raw) {
            ok = false; // image data is no content
            return;
        }
        ok = ok && d.complete;
        if (d.bytes.empty())
            return;
        const size_t extra = d.bytes.size() + (first ? 0 : 1);
        if (out.size() + extra > kMaxDecodedStreamSize) {
            ok = false;
            return;
        }
        if (!first)
            out.push_back('\n');
        out += d.bytes;
        first = false;
    };
    const Object contents = dict_.get("Contents");
    if (contents.isArray()) {
        for (size_t i = 0; i < contents.size(); ++i)
            add(contents.at(i));
    } else {
        add(contents);
    }
    if (complete)
        *complete = ok;
    return out;
}

Affine Page::drawingTransform(Box box, const Rect& rect, int rotate, bool preserveAspectRatio) const
{
    const Rect b = boxRect(box);
    if (!usable(b))
        return Affine::identity();
    const int angle = normaliseRightAngle(rotationAngle() + (rotate % 90 == 0 ? rotate : 0));
    // Clockwise rotations in a y-up space, exact for right angles.
    Affine turn;
    switch (angle) {
    case 90: turn = {0, -1, 1, 0, 0, 0}; break;
    case 180: turn = {-1, 0, 0, -1, 0, 0}; break;
    case 270: turn = {0, 1, -1, 0, 0, 0}; break;
    default: break;
    }
    const bool quarter = angle == 90 || angle == 270;
    const double w = quarter ? b.height() : b.width();
    const double h = quarter ? b.width() : b.height();
    double s = 1;
    if (preserveAspectRatio && w > 0 && h > 0) {
        s = std::min(rect.width() / w, rect.height() / h);
        if (!(s < 1))
            s = 1;
    }
    Affine t = Affine::makeTranslation(-b.midX(), -b.midY());
    t = concat(t, turn);
    t = concat(t, Affine::makeScale(s, s));
    t = concat(t, Affine::makeTranslation(rect.midX(), rect.midY()));
    return t;
}

} // namespace rz::pdf
