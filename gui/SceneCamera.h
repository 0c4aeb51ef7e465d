#ifndef GUI_SCENECAMERA_H
#define GUI_SCENECAMERA_H

// The picture that the tree view and the chart start each paint from: black,
// drawn in lines without depth test or lighting, seen through a frustum from
// five units in front of the plane z = 0, so that the square from -2.5 to
// 2.5 of that plane fills the viewport.
class SceneCamera {
public:
    SceneCamera() = delete;

    // Clears the window and leaves the model-view matrix current.
    static void Begin();
};

#endif
