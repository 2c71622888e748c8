#pragma once

#include <QComboBox>

class TableObject;

// An editable drop-down list bound to one field of the settings record: it shows the field and
// every change of its text by the operator (typed or chosen) goes into the record being edited,
// which stores it at the record's next post.
class SettingsYearBox : public QComboBox
{
    Q_OBJECT
public:
    explicit SettingsYearBox(QWidget* parent = nullptr);

    void bind(TableObject* record, const QString& field);
    bool isBound() const { return m_record != nullptr; }

    // Replaces the list; the box's own text stays the field's value, listed or not.
    void setYears(const QStringList& years);

signals:
    // The operator changed the text (each keystroke, or a choice from the list).
    void yearEdited(const QString& text);

private:
    void showField();
    void operatorChanged(const QString& text);

    TableObject* m_record = nullptr;
    QString m_field;
    bool m_syncing = false;
};
