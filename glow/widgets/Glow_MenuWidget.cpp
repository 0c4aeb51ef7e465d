#include "glow/widgets/Glow_MenuWidget.h"

namespace glow {

void Glow_MenuWidget::AttachFace(Glow_MenuButtonSubwindow* face,
                                 const Glow_MenuButtonColors& colors) {
    face_ = face;
    face_->SetColors(colors);
}

int Glow_MenuWidget::PackFace(int prefWidth, int prefHeight, int hSize, int vSize, int hOption,
                              int vOption) {
    int width, height;
    if (hSize != unspecifiedSize && hSize < prefWidth) return 1;
    if (!SizeForRule(hOption, hSize, prefWidth, Width(), width)) return 1;
    if (vSize != unspecifiedSize && vSize < prefHeight) return 2;
    if (!SizeForRule(NoGrowthRule(vOption), vSize, prefHeight, Height(), height)) return 2;
    Reshape(width, height);
    return 0;
}

}  // namespace glow
