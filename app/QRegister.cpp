#include "QRegister.h"
#include "ui_QRegister.h"

#include "FormFit.h"
#include "ItemRules.h"
#include "JsonFileIo.h"
#include "LedgerStore.h"
#include "MyListWidgetItem.h"
#include "ProfitMath.h"
#include "Prompt.h"
#include "QLongLongValidator.h"

#include <QIntValidator>

QRegister::QRegister(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::QRegister)
    , isExpanded(false)
    , foldedSize(0, 0)
    , expandedSize(0, 0)
{
    ui->setupUi(this);
    foldedSize = QSize(400, 230);
    expandedSize = QSize(400, 590);
    resize(expandedSize);
}

QRegister::~QRegister()
{
    delete ui;
}

bool QRegister::loadCatalogue()
{
    rapidjson::Document document;
    if (!JsonFileIo::instance().readCashItems(document)) {
        Prompt::error(this, QString::fromUtf8("CashItems.json 파일 로드 실패!"));
        return false;
    }
    if (const std::optional<QString> problem = CashItemLoader::fill(document, cashItems)) {
        Prompt::error(this, *problem);
        return false;
    }
    return true;
}

bool QRegister::init()
{
    if (!loadCatalogue())
        return false;
    fillPickList();
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this, &QRegister::cashItemListPress);

    setWindowTitle(QString::fromUtf8("아이템 등록"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setFixedWidth(foldedSize.width());

    for (QLabel *label : {ui->label, ui->label_2, ui->label_3})
        label->setAlignment(Qt::AlignCenter);
    ui->label->setText(QString::fromUtf8("이름"));
    ui->label_2->setText(QString::fromUtf8("캐시 가격"));
    ui->label_3->setText(QString::fromUtf8("메소 가격"));

    ui->lineEdit_2->setValidator(new QIntValidator(ui->lineEdit_2));
    ui->lineEdit_3->setValidator(new QLongLongValidator(ui->lineEdit_3));

    ui->pushButton->setText(QString::fromUtf8("등록"));

    QFont font;
    font.setPointSize(13);
    font.setWeight(75);
    ui->pushButton_2->setFont(font);
    ui->pushButton_2->setText(QString::fromUtf8("접기▲"));
    isExpanded = true;

    font.setPointSize(10);
    ui->listWidget->setFont(font);

    ui->checkBox->setText(QString::fromUtf8("마일리지 할인(30%)"));
    // The fold button also reads "추천▼" once folded.
    FormFit::fitTexts(this, {{ui->pushButton_2, {QString::fromUtf8("추천▼")}}});
    // The pick list is laid out with the catalogue rather than at the first
    // show, so that the first registration shows as fast as the next.
    ensurePolished();
    ui->listWidget->doItemsLayout();
    return true;
}

void QRegister::present()
{
    raise();
    show();
}

void QRegister::fillPickList()
{
    for (const auto &entry : cashItems) {
        const QByteArray line = QByteArray::number(static_cast<qlonglong>(entry.first) + 1) + ". "
            + entry.second.name + " : " + ProfitMath::formatThousands(entry.second.price);
        auto *row = new MyListWidgetItem(QString::fromUtf8(line) + QString::fromUtf8("원"));
        row->cashItemKey = entry.first;
        ui->listWidget->addItem(row);
    }
}

void QRegister::cashItemListPress()
{
    const auto *row = dynamic_cast<MyListWidgetItem *>(ui->listWidget->currentItem());
    if (!row)
        return;
    const auto found = cashItems.find(static_cast<int32_t>(row->cashItemKey));
    if (found == cashItems.end())
        return;
    ui->lineEdit->setText(QString::fromUtf8(found->second.name));
    ui->lineEdit_2->setText(QString::number(found->second.price));
    ui->checkBox->setChecked(found->second.isUseMileage);
}

void QRegister::on_pushButton_2_clicked()
{
    if (isExpanded) {
        isExpanded = false;
        ui->pushButton_2->setText(QString::fromUtf8("추천▼"));
        resize(foldedSize);
    } else {
        isExpanded = true;
        ui->pushButton_2->setText(QString::fromUtf8("접기▲"));
        resize(expandedSize);
    }
}

void QRegister::on_pushButton_clicked()
{
    const QByteArray name = ui->lineEdit->text().toUtf8();
    // A field that holds no number reads as 0, which is refused.
    const int64_t cashPrice = ui->lineEdit_2->text().toLongLong(nullptr, 10);
    const int64_t mesoPrice = ui->lineEdit_3->text().toLongLong(nullptr, 10);
    const bool isUseMileage = ui->checkBox->isChecked();
    // The dialog closes either way and says nothing of a refusal; the user's
    // text stays in the fields.
    if (!ItemRules::itemRefusal(name, cashPrice, mesoPrice))
        LedgerStore::instance().addItem(name, static_cast<int32_t>(cashPrice), mesoPrice, isUseMileage);
    close();
}
