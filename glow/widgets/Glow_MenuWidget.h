#ifndef GLOW_WIDGETS_GLOW_MENUWIDGET_H
#define GLOW_WIDGETS_GLOW_MENUWIDGET_H

#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_MenuButtonSubwindow.h"

namespace glow {

// What menu buttons and pop-up menu widgets share: a face subwindow laid
// exactly over the widget (GLUT attaches menus to windows, not widgets),
// kept on it as the widget moves, changes size, shows and hides.
class Glow_MenuWidget : public GlowWidget {
public:
    // The face; a child component, deleted with the widget.
    Glow_MenuButtonSubwindow* Face() const { return face_; }

protected:
    Glow_MenuWidget() = default;

    // Takes face as the widget's face and gives it the colours.
    void AttachFace(Glow_MenuButtonSubwindow* face, const Glow_MenuButtonColors& colors);
    // Sizes the widget for a face of prefWidth x prefHeight: a given size
    // below it fails; the face stretches along under the expand and forced
    // rules, across only under the forced rule.
    int PackFace(int prefWidth, int prefHeight, int hSize, int vSize, int hOption, int vOption);

    void OnWidgetMove() override { face_->FollowOwnerPosition(); }
    void OnWidgetReshape() override { face_->FollowOwnerSize(); }
    void OnWidgetVisible() override { face_->FollowOwnerVisibility(); }
    void OnWidgetInvisible() override { face_->FollowOwnerVisibility(); }

private:
    Glow_MenuButtonSubwindow* face_ = nullptr;
};

}  // namespace glow

#endif
