#include "RecoveryFile.h"

#include "JsonFileIo.h"
#include "ItemMap.h"
#include "LedgerFile.h"

#include <QFile>
#include <QSaveFile>


namespace RecoveryFile {

bool write(const Snapshot &snapshot, const QString &path)
{
    // Keyed by position from the bottom row: the ledger file writes its
    // items in key order.
    ItemMap items;
    const size_t count = snapshot.rows.size();
    for (size_t k = 0; k < count; ++k)
        items.emplace(static_cast<int32_t>(k), snapshot.rows[count - 1 - k]);
    const QByteArray file = snapshot.filePath.toUtf8();
    const QByteArray savedAt = snapshot.savedAt.toUTC().toString(Qt::ISODateWithMs).toUtf8();
    const auto produce = [&](JsonFileIo::Writer &out) {
        return out.StartObject()
            && LedgerFile::writeMembers(out, snapshot.rate, snapshot.fee, snapshot.rateOfDiscount, items)
            && out.Key("file") && out.String(file.constData(), static_cast<rapidjson::SizeType>(file.size()))
            && out.Key("savedAt") && out.String(savedAt.constData(), static_cast<rapidjson::SizeType>(savedAt.size()))
            && out.Key("version") && out.Int(version) && out.EndObject();
    };

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!JsonFileIo::write(produce, out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

ReadResult read(const QString &path, Snapshot &snapshot)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return in.exists() ? ReadResult::Damaged : ReadResult::Missing;
    rapidjson::Document document;
    JsonFileIo::parse(in, document);
    LedgerFile::Contents contents;
    if (document.HasParseError() || !LedgerFile::read(document, contents))
        return ReadResult::Damaged;
    const auto versionMember = document.FindMember("version");
    const auto savedAtMember = document.FindMember("savedAt");
    const auto fileMember = document.FindMember("file");
    if (versionMember == document.MemberEnd() || !versionMember->value.IsInt()
        || versionMember->value.GetInt() < 1 || versionMember->value.GetInt() > version)
        return ReadResult::Damaged;
    if (savedAtMember == document.MemberEnd() || !savedAtMember->value.IsString() || fileMember == document.MemberEnd()
        || !fileMember->value.IsString())
        return ReadResult::Damaged;
    snapshot.savedAt = QDateTime::fromString(QString::fromUtf8(savedAtMember->value.GetString()), Qt::ISODateWithMs);
    if (!snapshot.savedAt.isValid())
        return ReadResult::Damaged;
    snapshot.filePath = QString::fromUtf8(fileMember->value.GetString(), static_cast<int>(fileMember->value.GetStringLength()));
    snapshot.rate = contents.rate;
    snapshot.fee = contents.fee;
    snapshot.rateOfDiscount = contents.rateOfDiscount;
    snapshot.rows.clear();
    snapshot.rows.reserve(contents.items.size());
    for (auto it = contents.items.rbegin(); it != contents.items.rend(); ++it) {
        AuctionItem item;
        item.name = it->name;
        item.cashPrice = it->cashPrice;
        item.mesoPrice = it->mesoPrice;
        item.isUseMileage = it->isUseMileage;
        snapshot.rows.push_back(item);
    }
    return ReadResult::Read;
}

} // namespace RecoveryFile
