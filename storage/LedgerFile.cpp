#include "LedgerFile.h"

#include "ItemRules.h"

#include <cstring>

namespace LedgerFile {

namespace {

const rapidjson::Value *member(const rapidjson::Value &object, const char *name)
{
    // FindMember returns the first of two members with the same name.
    const auto found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

int32_t readInt32(const rapidjson::Value &object, const char *name)
{
    const rapidjson::Value *value = member(object, name);
    return value && value->IsInt() ? value->GetInt() : 0;
}

int64_t readInt64(const rapidjson::Value &object, const char *name)
{
    const rapidjson::Value *value = member(object, name);
    return value && value->IsInt64() ? value->GetInt64() : 0;
}

bool readItem(const rapidjson::Value &element, Item &item)
{
    if (!element.IsObject())
        return false;
    const rapidjson::Value *name = member(element, "name");
    if (!name || !name->IsString())
        return false;
    // A name ends at its first NUL character.
    item.name = QByteArray(name->GetString(), static_cast<int>(std::strlen(name->GetString())));
    const int64_t cashPrice = readInt64(element, "cashPrice");
    item.mesoPrice = readInt64(element, "mesoPrice");
    const rapidjson::Value *mileage = member(element, "isUseMileage");
    item.isUseMileage = mileage && mileage->IsTrue();
    // An item the window would refuse is skipped; a cash price beyond 32
    // bits is so refused, not narrowed into some other price.
    if (ItemRules::itemRefusal(item.name, cashPrice, item.mesoPrice))
        return false;
    item.cashPrice = static_cast<int32_t>(cashPrice);
    return true;
}

} // namespace

bool read(const rapidjson::Value &root, Contents &contents)
{
    if (!root.IsObject())
        return false;
    contents.rate = readInt32(root, "rate");
    contents.fee = readInt32(root, "fee");
    const rapidjson::Value *discount = member(root, "rateOfDiscount");
    contents.rateOfDiscount = discount && discount->IsNumber() ? discount->GetDouble() : 0.0;

    contents.items.clear();
    const rapidjson::Value *elements = member(root, "auctionItems");
    if (!elements || !elements->IsArray())
        return true;
    contents.items.reserve(elements->Size());
    for (const rapidjson::Value &element : elements->GetArray()) {
        Item item;
        if (readItem(element, item))
            contents.items.push_back(std::move(item));
    }
    return true;
}

void build(rapidjson::Document &document, int32_t rate, int32_t fee, double rateOfDiscount,
           const std::map<int32_t, AuctionItem> &items)
{
    auto &allocator = document.GetAllocator();
    document.SetObject();
    document.AddMember("rate", rapidjson::Value(rate), allocator);
    document.AddMember("fee", rapidjson::Value(fee), allocator);
    document.AddMember("rateOfDiscount", rapidjson::Value(rateOfDiscount), allocator);

    rapidjson::Value array(rapidjson::kArrayType);
    array.Reserve(static_cast<rapidjson::SizeType>(items.size()), allocator);
    for (const auto &entry : items) {
        const AuctionItem &item = entry.second;
        rapidjson::Value object(rapidjson::kObjectType);
        const char *name = item.name.constData();
        object.AddMember("name",
                         rapidjson::Value(name, static_cast<rapidjson::SizeType>(std::strlen(name)), allocator),
                         allocator);
        object.AddMember("cashPrice", rapidjson::Value(item.cashPrice), allocator);
        object.AddMember("mesoPrice", rapidjson::Value(static_cast<int64_t>(item.mesoPrice)), allocator);
        object.AddMember("isUseMileage", rapidjson::Value(item.isUseMileage), allocator);
        array.PushBack(object, allocator);
    }
    document.AddMember("auctionItems", array, allocator);
}

} // namespace LedgerFile
