// A captioned list of mutually exclusive choices whose items are replaced at run time.
#pragma once

#include <functional>
#include <vector>

#include <QGroupBox>
#include <QString>

class QButtonGroup;
class QRadioButton;
class QScrollArea;
class QVBoxLayout;

namespace kui {

class TRadioGroup : public QGroupBox {
public:
    explicit TRadioGroup(const QString& caption, QWidget* parent = nullptr);

    int Count() const { return int(buttons_.size()); }
    QString Item(int i) const;
    QStringList Items() const;
    // -1 when nothing is selected.
    int ItemIndex() const;

    // Emptying the items leaves no selection. Neither call runs the selection handler.
    void ClearItems();
    void AddItem(const QString& text);
    void SetItems(const QStringList& items);

    // Selects item `i` (-1: none) without telling anyone; see SelectItem for the event rule.
    void SetItemIndexSilently(int i);

    // Runs when the user changes the selection; clicking the selected item again does nothing.
    void OnUserSelect(std::function<void()> handler) { onUserSelect_ = std::move(handler); }

    // Keeps the items (and their scroll bar) clear of controls laid over the box's right end.
    void ReserveRight(int pixels);

    // What a click on item `i` does (a test's and an automation's hand on the control).
    void ClickItem(int i);

private:
    QVBoxLayout* outer_;
    QScrollArea* scroll_;
    QWidget* inner_;
    QVBoxLayout* layout_;
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    std::function<void()> onUserSelect_;
};

}  // namespace kui
