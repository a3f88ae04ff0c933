#pragma once
// Qt frees every widget and layout with its owner. These make one and hand
// it straight to that owner, so no object of the dialog is ever freed by hand.

#include <QBoxLayout>
#include <QGridLayout>
#include <QLayout>
#include <QWidget>
#include <memory>
#include <utility>

namespace emberlrn {

// A widget owned by parent.
template <typename T, typename... Args>
T* Child(QWidget* parent, Args&&... args) {
  auto widget = std::make_unique<T>(std::forward<Args>(args)...);
  widget->setParent(parent);
  return widget.release();
}

// A layout that arranges (and is owned by) the widget.
template <typename T>
T* LayoutOf(QWidget* widget) {
  auto layout = std::make_unique<T>();
  widget->setLayout(layout.get());
  return layout.release();
}

// A layout nested in (and owned by) another box layout.
template <typename T>
T* LayoutIn(QBoxLayout* outer, int stretch = 0) {
  auto layout = std::make_unique<T>();
  outer->addLayout(layout.get(), stretch);
  return layout.release();
}

// A layout nested in a cell of (and owned by) a grid.
template <typename T>
T* LayoutIn(QGridLayout* outer, int row, int column, int rowSpan = 1, int columnSpan = 1) {
  auto layout = std::make_unique<T>();
  outer->addLayout(layout.get(), row, column, rowSpan, columnSpan);
  return layout.release();
}

}  // namespace emberlrn
