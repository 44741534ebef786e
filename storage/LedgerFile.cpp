#include "LedgerFile.h"

#include "ItemRules.h"

#include <cstring>
#include <optional>

namespace LedgerFile {

namespace {

const rapidjson::Value *member(const rapidjson::Value &object, const char *name)
{
    // FindMember returns the first of two members with the same name.
    const auto found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

Given given(const rapidjson::Value *value, bool read)
{
    return !value ? Given::Missing : read ? Given::Read : Given::Unreadable;
}

int32_t readInt32(const rapidjson::Value &object, const char *name, Given &how)
{
    const rapidjson::Value *value = member(object, name);
    how = given(value, value && value->IsInt());
    return how == Given::Read ? value->GetInt() : 0;
}

// A price: 0 when it is missing or not a whole number; nothing when it is a
// number above the 64-bit range, too large for either field.
std::optional<int64_t> readPrice(const rapidjson::Value &object, const char *name)
{
    const rapidjson::Value *value = member(object, name);
    if (!value || !value->IsNumber())
        return 0;
    if (value->IsInt64())
        return value->GetInt64();
    if (value->IsUint64() || value->GetDouble() >= 9223372036854775808.0)
        return std::nullopt;
    return 0;
}

std::optional<Skip> priceSkip(ItemRules::Price field, const std::optional<int64_t> &price)
{
    const bool cash = field == ItemRules::Price::Cash;
    const Skip tooLarge = cash ? Skip::CashPriceTooLarge : Skip::MesoPriceTooLarge;
    if (!price)
        return tooLarge;
    const std::optional<ItemRules::PriceFault> fault = ItemRules::priceFault(field, *price);
    if (!fault)
        return std::nullopt;
    return *fault == ItemRules::PriceFault::NotAboveZero ? Skip::PriceNotAboveZero : tooLarge;
}

// Reads one element; gives why it is left out, or nothing when it is an item
// the window would take.
std::optional<Skip> readItem(const rapidjson::Value &element, Item &item)
{
    if (!element.IsObject())
        return Skip::NotAnItem;
    const rapidjson::Value *name = member(element, "name");
    // A name ends at its first NUL character; one that is not a string is none.
    if (name && name->IsString())
        item.name = QByteArray(name->GetString(), static_cast<int>(std::strlen(name->GetString())));
    const std::optional<int64_t> cashPrice = readPrice(element, "cashPrice");
    const std::optional<int64_t> mesoPrice = readPrice(element, "mesoPrice");
    const rapidjson::Value *mileage = member(element, "isUseMileage");
    item.isUseMileage = mileage && mileage->IsTrue();
    // An item the window would refuse is skipped, asked in the order the
    // window asks; a cash price beyond 32 bits is so refused, not narrowed
    // into some other price.
    if (ItemRules::nameRefusal(item.name))
        return Skip::NoName;
    if (const std::optional<Skip> skip = priceSkip(ItemRules::Price::Cash, cashPrice))
        return skip;
    if (const std::optional<Skip> skip = priceSkip(ItemRules::Price::Meso, mesoPrice))
        return skip;
    item.cashPrice = static_cast<int32_t>(*cashPrice);
    item.mesoPrice = *mesoPrice;
    return std::nullopt;
}

} // namespace

int Contents::skippedCount() const
{
    int count = 0;
    for (int kind : skipped)
        count += kind;
    return count;
}

bool read(const rapidjson::Value &root, Contents &contents)
{
    if (!root.IsObject())
        return false;
    contents.rate = readInt32(root, "rate", contents.rateGiven);
    contents.fee = readInt32(root, "fee", contents.feeGiven);
    const rapidjson::Value *discount = member(root, "rateOfDiscount");
    contents.rateOfDiscountGiven = given(discount, discount && discount->IsNumber());
    contents.rateOfDiscount = contents.rateOfDiscountGiven == Given::Read ? discount->GetDouble() : 0.0;

    contents.items.clear();
    contents.skipped.fill(0);
    const rapidjson::Value *elements = member(root, "auctionItems");
    if (!elements || !elements->IsArray())
        return true;
    contents.items.reserve(elements->Size());
    for (const rapidjson::Value &element : elements->GetArray()) {
        Item item;
        if (const std::optional<Skip> skip = readItem(element, item))
            ++contents.skipped[static_cast<size_t>(*skip)];
        else
            contents.items.push_back(std::move(item));
    }
    return true;
}

bool writeMembers(JsonFileIo::Writer &out, int32_t rate, int32_t fee, double rateOfDiscount, const ItemMap &items)
{
    if (!(out.Key("rate") && out.Int(rate) && out.Key("fee") && out.Int(fee) && out.Key("rateOfDiscount")
          && out.Double(rateOfDiscount) && out.Key("auctionItems") && out.StartArray()))
        return false;
    for (const auto &entry : items) {
        const AuctionItem &item = entry.second;
        const char *name = item.name.constData();
        if (!(out.StartObject() && out.Key("name")
              && out.String(name, static_cast<rapidjson::SizeType>(std::strlen(name))) && out.Key("cashPrice")
              && out.Int(item.cashPrice) && out.Key("mesoPrice") && out.Int64(item.mesoPrice)
              && out.Key("isUseMileage") && out.Bool(item.isUseMileage) && out.EndObject()))
            return false;
    }
    return out.EndArray();
}

bool write(JsonFileIo::Writer &out, int32_t rate, int32_t fee, double rateOfDiscount, const ItemMap &items)
{
    return out.StartObject() && writeMembers(out, rate, fee, rateOfDiscount, items) && out.EndObject();
}

} // namespace LedgerFile
