// Whole files in and out: bounded, cancellable reads with the reason a read failed, and safe writes.
#include "platform/text/TextCodec.h"

#include "platform/FailureTexts.h"
#include "platform/WorkerPool.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace TextCodec {

namespace {

constexpr qint64 kMaxFileBytes = maxReadBytes;

using namespace FailureTexts;

} // namespace

static bool readBoundedChecked(QIODevice &device, qint64 maxBytes, QByteArray &bytes,
                               const CancelToken *token);

bool readBounded(QIODevice &device, qint64 maxBytes, QByteArray &bytes) {
    return readBoundedChecked(device, maxBytes, bytes, nullptr);
}

// As readBounded(); a cancelled token ends the read between chunks (the bytes so far stay, incomplete).
static bool readBoundedChecked(QIODevice &device, qint64 maxBytes, QByteArray &bytes,
                               const CancelToken *token) {
    constexpr qint64 kChunk = qint64(1) << 20;
    bytes.clear();
    while (bytes.size() <= maxBytes) {
        if (token && token->isCancelled())
            return false;
        const qint64 want = qMin(kChunk, maxBytes + 1 - bytes.size());
        const qsizetype before = bytes.size();
        bytes.resize(before + qsizetype(want));
        const qint64 got = device.read(bytes.data() + before, want);
        bytes.resize(before + qsizetype(qMax<qint64>(got, 0)));
        if (got <= 0 && !device.waitForReadyRead(-1))
            break; // end of data (a file, or a pipe whose writer closed it) or an error
    }
    if (bytes.size() > maxBytes) {
        bytes.truncate(qsizetype(maxBytes));
        return false;
    }
    return true;
}

static FileBytes readFileBytesChecked(const QString &path, const CancelToken *token, bool streams = false);

FileBytes readFileBytes(const QString &path) {
    return readFileBytesChecked(path, nullptr);
}

FileBytes readFileBytes(const QString &path, const CancelToken &token) {
    return readFileBytesChecked(path, &token);
}

// `streams`: pipes and devices are read too (to their end, within the cap); only a folder is refused.
static FileBytes readFileBytesChecked(const QString &path, const CancelToken *token, bool streams) {
    FileBytes out;
    auto fail = [&](const QString &what, const QString &detail = QString()) {
        out.reason = detail.isEmpty() ? what : what + QStringLiteral("（") + detail + QStringLiteral("）");
        out.error = AboutFile(what, path, detail);
        return out;
    };
    if (path.isEmpty()) {
        out.reason = out.error = NoFileNamed;
        return out;
    }
    const QFileInfo info(path);
    if (!info.exists() && info.isSymLink())
        return fail(BrokenLink);
    if (!info.exists())
        return fail(FileMissing);
    if (info.isDir())
        return fail(IsFolder);
    if (!info.isFile() && !streams)
        return fail(NotRegularFile);
    if (info.size() > kMaxFileBytes)
        return fail(FileTooLarge, FileSizeLimit);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(CannotOpenForRead, file.errorString());
    // The size was only what the file claimed (files under /proc claim 0): the read has its own cap.
    const bool complete = readBoundedChecked(file, kMaxFileBytes, out.bytes, token);
    if (token && token->isCancelled())
        return fail(Cancelled);
    if (file.error() != QFileDevice::NoError)
        return fail(ReadFailed, file.errorString());
    if (!complete)
        return fail(FileTooLarge, FileSizeLimit);
    out.ok = true;
    return out;
}

static FileText readFileChecked(const QString &path, const CancelToken *token, bool streams = false) {
    FileBytes file = readFileBytesChecked(path, token, streams);
    FileText out;
    out.error = std::move(file.error);
    out.reason = std::move(file.reason);
    if (!file.ok)
        return out;
    if (token && token->isCancelled()) {
        out.reason = out.error = Cancelled;
        return out;
    }
    Decoded decoded = decode(file.bytes);
    out.ok = true;
    out.text = std::move(decoded.text);
    out.encoding = decoded.encoding;
    out.bom = decoded.bom;
    return out;
}

FileText readFile(const QString &path) {
    return readFileChecked(path, nullptr);
}

FileText readFile(const QString &path, const CancelToken &token) {
    return readFileChecked(path, &token);
}

FileText readInputFile(const QString &path) {
    return readFileChecked(path, nullptr, true);
}

FileBytes readInputFileBytes(const QString &path, const CancelToken &token) {
    return readFileBytesChecked(path, &token, true);
}

QString writeFile(const QString &path, const QString &text, const QByteArray &encoding, bool bom) {
    if (path.isEmpty())
        return NoFileNamed;
    if (QFileInfo(path).isDir())
        return AboutFile(FolderNotWritable, path);
    if (!fitsEncoding(text, encoding))
        return AboutFile(DoesNotFitEncoding(encoding), path);
    return writeFileBytes(path, encode(text, encoding, bom));
}

QString writeFileBytes(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty())
        return NoFileNamed;
    if (QFileInfo(path).isDir())
        return AboutFile(FolderNotWritable, path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return AboutFile(CannotOpenForWrite, path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return AboutFile(WriteFailed, path, reason);
    }
    if (!file.commit())
        return AboutFile(CommitFailed, path, file.errorString());
    return QString();
}

} // namespace TextCodec
