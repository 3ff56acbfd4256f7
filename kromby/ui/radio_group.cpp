#include "kromby/ui/radio_group.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QPointer>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace kui {

TRadioGroup::TRadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent),
      scroll_(new QScrollArea(this)),
      inner_(new QWidget),
      layout_(new QVBoxLayout(inner_)),
      group_(new QButtonGroup(this)) {
    outer_ = new QVBoxLayout(this);
    auto* outer = outer_;
    outer->setContentsMargins(4, 2, 4, 4);
    outer->addWidget(scroll_);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(inner_);
    inner_->setAutoFillBackground(false);
    scroll_->viewport()->setAutoFillBackground(false);
    layout_->setContentsMargins(2, 0, 2, 0);
    layout_->setSpacing(0);
    layout_->addStretch(1);
    group_->setExclusive(true);
    // toggled(true) fires only for a real change of selection, which is the event rule.
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked && onUserSelect_) onUserSelect_();
    });
}

QString TRadioGroup::Item(int i) const { return buttons_.at(size_t(i))->text(); }

QStringList TRadioGroup::Items() const {
    QStringList out;
    for (const QRadioButton* b : buttons_) out << b->text();
    return out;
}

int TRadioGroup::ItemIndex() const {
    const int id = group_->checkedId();
    return id < 0 ? -1 : id;
}

void TRadioGroup::ClearItems() {
    for (QRadioButton* b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
}

void TRadioGroup::AddItem(const QString& text) {
    auto* b = new QRadioButton(text, inner_);
    const int id = int(buttons_.size());
    group_->addButton(b, id);
    layout_->insertWidget(id, b);
    buttons_.push_back(b);
}

void TRadioGroup::SetItems(const QStringList& items) {
    ClearItems();
    for (const QString& s : items) AddItem(s);
}

void TRadioGroup::SetItemIndexSilently(int i) {
    const QSignalBlocker block(group_);
    if (i < 0 || i >= Count()) {
        // An exclusive group never unchecks its last checked button by itself.
        group_->setExclusive(false);
        for (QRadioButton* b : buttons_) b->setChecked(false);
        group_->setExclusive(true);
        return;
    }
    QRadioButton* chosen = buttons_[size_t(i)];
    chosen->setChecked(true);
    // A selection made by code (a library load selects its last segment) must not hide below
    // the box's visible rows. Deferred, and the pending layouts are settled first: the rows of
    // freshly added items have no place yet, and the scroll range does not know them.
    QTimer::singleShot(0, this, [this, target = QPointer<QRadioButton>(chosen)] {
        if (!target || !target->isChecked()) return;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        scroll_->ensureWidgetVisible(target, 0, 0);
    });
}

void TRadioGroup::ReserveRight(int pixels) {
    const QMargins m = outer_->contentsMargins();
    outer_->setContentsMargins(m.left(), m.top(), pixels, m.bottom());
}

void TRadioGroup::ClickItem(int i) { buttons_.at(size_t(i))->click(); }

}  // namespace kui
