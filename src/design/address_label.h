#pragma once
// The address block: a multi-line object whose lines are composed from the
// address fields of the current record.
#include "design/text_labels.h"

namespace qp::design {

class TDataSource;

enum TZipFormatOptions { zoAfterState, zoBeforeCity, zoAfterCountry, zoBeforeCountry };
QString ZipOptionsName(TZipFormatOptions z);

struct TAddressLayout {
    bool UseName = true;
    bool UseTitle = true;
    bool UseCompany = true;
    bool UseStreet = true;
    bool UseStreet2 = true;
    bool UseCityState = true;
    bool UseZip = true;
    bool UsePhone = false;
    bool UseCountry = true;
    TZipFormatOptions ZipOptions = zoAfterState;
    bool UpperCase = false;
    bool operator==(const TAddressLayout&) const = default;
};

// The lines of one record; a missing field reads as empty.
QStringList ComposeAddressLines(const TAddressLayout& layout, const TDataSource& source);

class TGDMultiLineAddressLabel : public TGMultiLineBaseLabel {
public:
    TGDMultiLineAddressLabel();
    QString ClassName() const override { return QStringLiteral("TGDMultiLineAddressLabel"); }
    TAddressLayout Layout;

    void ShowDataValue() override;
    void ShowDesignText() override;
    bool SetProperty(const QString& name, const TPropertyValue& v) override;

protected:
    void AppendOwnProperties(TPropertyList& out) const override;
};

} // namespace qp::design
