#pragma once

#include <QFrame>
#include <memory>

#include "render/DisplayList.h"

namespace runebin::gui {

// The main window's black frame, which shows the selected symbol: white inside with the picture
// fitted, centred and antialiased while there is one, the window's ground while there is none.
// The picture is shared with the program and never changed once handed over.
class PreviewFrame final : public QFrame {
 public:
  explicit PreviewFrame(QWidget* parent);

  void SetPicture(std::shared_ptr<const DisplayList> picture, const QString& description);
  const DisplayList* Picture() const { return picture_.get(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::shared_ptr<const DisplayList> picture_;
};

}  // namespace runebin::gui
