#include "CashItem.h"

#include <cstring>

namespace CashItemLoader {

std::optional<QString> fill(const rapidjson::Value &root, CashItemCatalogue &catalogue)
{
    if (!root.IsArray())
        return std::nullopt;
    const rapidjson::SizeType count = root.Size();
    for (rapidjson::SizeType i = 0; i < count; ++i) {
        const QString prefix = QString::fromUtf8("CashItems.json 파일 수정 실패 : ") + QString::number(i + 1)
            + QString::fromUtf8("번째 ");
        const rapidjson::Value &element = root[i];
        if (!element.IsObject())
            return prefix + QStringLiteral("element is not an object");

        const auto name = element.FindMember("name");
        if (name == element.MemberEnd())
            return prefix + QStringLiteral("'name' is not found");
        if (!name->value.IsString())
            return prefix + QStringLiteral("'name' is not a string");
        const auto price = element.FindMember("price");
        if (price == element.MemberEnd())
            return prefix + QStringLiteral("'price' is not found");
        if (!price->value.IsInt())
            return prefix + QStringLiteral("'price' is not a 32-bit integer");
        const auto mileage = element.FindMember("isUseMileage");
        if (mileage == element.MemberEnd())
            return prefix + QStringLiteral("'isUseMileage' is not found");

        CashItem item;
        const char *text = name->value.GetString();
        item.name = QByteArray(text, static_cast<int>(std::strlen(text)));
        item.price = price->value.GetInt();
        item.isUseMileage = mileage->value.IsTrue();
        catalogue.emplace(static_cast<int32_t>(i), std::move(item));
    }
    return std::nullopt;
}

} // namespace CashItemLoader
