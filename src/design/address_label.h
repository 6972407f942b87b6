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

// What each composed line holds.
enum TAddressLine {
    alName,
    alTitle,
    alCompany,
    alStreet,
    alStreet2,
    alCityState,
    alZip,
    alCountry,
    alPhone
};

// The lines of one record; a missing field reads as empty. `kinds`, when
// given, receives what each line holds.
QStringList ComposeAddressLines(const TAddressLayout& layout, const TDataSource& source,
                                QList<TAddressLine>* kinds = nullptr);

// The smallest size an address is shrunk to before a line is left out.
inline constexpr double kShrinkMinimumPoints = 6;

class TGDMultiLineAddressLabel : public TGMultiLineBaseLabel {
public:
    TGDMultiLineAddressLabel();
    QString ClassName() const override { return QStringLiteral("TGDMultiLineAddressLabel"); }
    TAddressLayout Layout;
    // The lines that do not fit are drawn smaller, down to 6 points, and
    // then without the Title line; the city/state/ZIP line is kept.
    bool ShrinkToFit = false;
    // The last record's address did not fit whole: lines were cut or left
    // out beyond the Title line.
    bool Clipped() const { return Clipped_; }

    void ShowDataValue() override;
    void ShowDesignText() override;
    const TPropertyTable& PropertyTable() const override;
    // The address dialog's Ok: the layout and the shrinking at once.
    void SetAddressLayout(const TAddressLayout& layout, bool shrinkToFit);

private:
    // Whether `lines` at `points` fit the block on paper.
    bool Fits(const QStringList& lines, double points) const;
    void FitLines(QStringList& lines, QList<TAddressLine>& kinds);
    bool Clipped_ = false;
};

} // namespace qp::design
