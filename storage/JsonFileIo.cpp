#include "JsonFileIo.h"

#include "AppFolders.h"
#include "FileStamp.h"

#include <rapidjson/writer.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>

#include <vector>

namespace {

// A RapidJSON input stream over a QIODevice, read through a fixed buffer.
class DeviceReadStream
{
public:
    using Ch = char;

    DeviceReadStream(QIODevice &device, QCryptographicHash *hash)
        : m_device(device)
        , m_hash(hash)
        , m_buffer(64 * 1024)
    {
        fill();
    }

    Ch Peek() const { return *m_current; }
    Ch Take()
    {
        const Ch c = *m_current;
        advance();
        return c;
    }
    size_t Tell() const { return m_consumed + static_cast<size_t>(m_current - m_buffer.data()); }

    // Unused by reading; present because the stream concept names them.
    Ch *PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch *) { return 0; }

private:
    void advance()
    {
        if (m_current < m_last)
            ++m_current;
        else if (!m_eof) {
            m_consumed += m_available;
            fill();
        }
    }

    void fill()
    {
        const qint64 read = m_eof ? 0 : m_device.read(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
        if (read <= 0) {
            // A NUL after the last byte tells the parser the text has ended.
            m_available = 0;
            m_buffer[0] = '\0';
            m_current = m_buffer.data();
            m_last = m_current;
            m_eof = true;
            return;
        }
        m_available = static_cast<size_t>(read);
        if (m_hash)
            m_hash->addData(m_buffer.data(), static_cast<int>(read));
        m_current = m_buffer.data();
        m_last = m_current + m_available - 1;
    }

    QIODevice &m_device;
    QCryptographicHash *m_hash;
    std::vector<char> m_buffer;
    char *m_current = nullptr;
    char *m_last = nullptr;
    size_t m_available = 0;
    size_t m_consumed = 0;
    bool m_eof = false;
};

bool readFile(const QString &path, rapidjson::Document &document, FileStamp *stamp = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(FileStamp::algorithm);
    JsonFileIo::parse(file, document, stamp ? &hash : nullptr);
    // The parser stops at the first fault: the rest of the file counts too.
    if (stamp) {
        hash.addData(&file);
        *stamp = FileStamp::of(path, hash.result());
    }
    return true;
}

} // namespace

DeviceWriteStream::DeviceWriteStream(QIODevice &device, QCryptographicHash *hash)
    : m_device(device)
    , m_hash(hash)
{
    m_buffer.reserve(blockSize);
}

void DeviceWriteStream::Flush()
{
    if (m_buffer.empty())
        return;
    if (m_ok) {
        const qint64 size = static_cast<qint64>(m_buffer.size());
        m_ok = m_device.write(m_buffer.data(), size) == size;
        if (m_hash)
            m_hash->addData(m_buffer.data(), static_cast<int>(size));
    }
    m_buffer.clear();
}

JsonFileIo &JsonFileIo::instance()
{
    static JsonFileIo *io = new JsonFileIo;
    return *io;
}

void JsonFileIo::parse(QIODevice &device, rapidjson::Document &document, QCryptographicHash *hash)
{
    DeviceReadStream stream(device, hash);
    document.ParseStream<rapidjson::kParseIterativeFlag>(stream);
}

bool JsonFileIo::write(const Producer &produce, QIODevice &device, QCryptographicHash *hash)
{
    DeviceWriteStream stream(device, hash);
    Writer writer(stream);
    const bool complete = produce(writer) && writer.IsComplete();
    stream.Flush();
    return complete && stream.ok();
}

bool JsonFileIo::readCashItems(rapidjson::Document &document)
{
    return readFile(AppFolders::cashItemsFile(), document);
}

bool JsonFileIo::readLedgerFile(rapidjson::Document &document, const QString &path, FileStamp *stamp)
{
    return readFile(path, document, stamp);
}

bool JsonFileIo::writeLedgerFile(const Producer &produce, const QString &path, FileStamp *stamp)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QCryptographicHash hash(FileStamp::algorithm);
    if (!write(produce, file, stamp ? &hash : nullptr)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    if (stamp)
        *stamp = FileStamp::of(path, hash.result());
    return true;
}
