// Setting a control from code runs the same steps as the user's change, but only when the value
// really changes, and directly rather than through a signal, so an exception raised inside
// ends the whole code path that set it.
#pragma once

#include <algorithm>
#include <cstdint>

#include <QAbstractSlider>
#include <QSignalBlocker>

#include "kromby/ui/radio_group.h"

namespace kui {

// The slider limits the value to its range first; returns whether it moved.
template <class F>
bool SetPosition(QAbstractSlider& slider, int64_t value, F&& onChange) {
    const int v = int(std::clamp<int64_t>(value, slider.minimum(), slider.maximum()));
    if (v == slider.value()) return false;
    {
        const QSignalBlocker block(slider);
        slider.setValue(v);
    }
    onChange();
    return true;
}

// An index beyond the last item selects the last one; returns whether the selection changed.
template <class F>
bool SelectItem(TRadioGroup& group, int index, F&& onChange) {
    const int i = std::min(index, group.Count() - 1);
    if (i == group.ItemIndex()) return false;
    group.SetItemIndexSilently(i);
    onChange();
    return true;
}

}  // namespace kui
