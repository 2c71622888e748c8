#pragma once

#include "masterdataui/MasterDataDialog.h"

class QLineEdit;

// "录入教研室资料": adds a section to the faculty of the settings record, or changes the code and
// name of the current section of the section list.
class SectionDialog : public MasterDataDialog
{
    Q_OBJECT
public:
    explicit SectionDialog(DataModule& data, QWidget* parent = nullptr);

protected:
    Outcome save(Mode mode, const QString& oldKey) override;

private:
    QLineEdit* m_code;
    QLineEdit* m_name;
};
