#include "LedgerGenerator.h"

#include "AuctionItem.h"
#include "ItemMap.h"
#include "JsonFileIo.h"
#include "LedgerFile.h"
#include "ProfitMath.h"

#include <rapidjson/document.h>

#include <QByteArray>

#include <random>

namespace LedgerGenerator {

namespace {

// The pieces a cash item name is made of: a theme, a kind of item, and
// sometimes a period or a bundle size.
const char *const themes[] = {
    "별빛", "달빛", "햇살", "봄꽃", "여름 해변", "가을 단풍", "겨울 눈꽃", "은하수", "무지개",
    "벚꽃", "라벤더", "바닷속", "사막 여행자", "마법 소녀", "검은 기사", "하얀 토끼", "황금",
    "루비", "사파이어", "에메랄드", "크리스탈", "고양이", "강아지", "판다", "여우", "펭귄",
    "구름", "캠핑", "학교", "왕실", "해적", "요정", "천사", "악마", "용사", "미니",
};
const char *const kinds[] = {
    "코디 상자", "헤어 변경 쿠폰", "성형 변경 쿠폰", "헤어 색상 변경 쿠폰", "렌즈 색상 변경 쿠폰",
    "의상 세트", "모자", "망토", "장갑", "신발", "귀걸이", "반지", "날개", "꼬리", "의자",
    "라이딩", "펫", "펫 장비", "펫 간식 꾸러미", "이펙트", "말풍선 반지", "명찰 반지",
    "데미지 스킨", "칭호", "스킬 확장권", "인벤토리 확장권", "창고 확장권", "순간이동 돌",
    "경험치 쿠폰", "부활의 깃털", "로얄 스타일 쿠폰", "원더 베리", "프리미엄 부화기",
};
const char *const periods[] = {"", "", "", " (7일)", " (30일)", " (90일)", " (영구)"};
const int bundleSizes[] = {0, 0, 0, 0, 0, 3, 5, 10, 11, 45};
// List prices of cash items in won.
const int32_t prices[] = {1100, 2200, 2900, 3300, 3900, 4400, 4900, 5500, 5900,
                          6600, 7700, 9900, 12900, 14900, 17900, 19900, 29900, 39900};

template <typename T, size_t N>
const T &pick(std::mt19937_64 &random, const T (&choices)[N])
{
    return choices[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

QByteArray itemName(std::mt19937_64 &random)
{
    QByteArray name(pick(random, themes));
    name += ' ';
    name += pick(random, kinds);
    if (const int bundle = pick(random, bundleSizes)) {
        name += ' ';
        name += QByteArray::number(bundle);
        name += "개";
    }
    name += pick(random, periods);
    return name;
}

} // namespace

bool write(const QString &path, int64_t count, const Settings &settings)
{
    std::mt19937_64 random(settings.seed);
    std::bernoulli_distribution usesMileage(0.4);
    // The asking price lands between 60 % and 160 % of what the won paid is
    // worth in meso, so about half of the items show a loss.
    std::uniform_real_distribution<double> markup(0.6, 1.6);

    AuctionItem probe;
    probe.rate = settings.rate;
    probe.fee = settings.fee;
    probe.rateOfDiscount = settings.rateOfDiscount;
    const double mesoPerWon = ProfitMath::mesoPerWon(settings.rate, settings.fee);

    ItemMap items;
    for (int64_t k = 0; k < count; ++k) {
        AuctionItem item = probe;
        item.name = itemName(random);
        item.cashPrice = pick(random, prices);
        item.isUseMileage = usesMileage(random);
        const double worth = static_cast<double>(item.wonCost()) * mesoPerWon * markup(random);
        // Asking prices are round to 10,000 meso, and never below it.
        item.mesoPrice = std::max<int64_t>(10000, static_cast<int64_t>(worth / 10000.0) * 10000);
        items.emplace(static_cast<int32_t>(k), std::move(item));
    }

    return JsonFileIo::instance().writeLedgerFile(
        [&](JsonFileIo::Writer &out) {
            return LedgerFile::write(out, settings.rate, settings.fee, settings.rateOfDiscount, items);
        },
        path);
}

} // namespace LedgerGenerator
