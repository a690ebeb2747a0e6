#pragma once

// How the toolkit should meet the display, settled before the application
// object exists (the toolkit reads it while that object is made).
class GuiEnvironment {
public:
    // The program paints with QPainter only and never uses OpenGL, so the
    // toolkit is told to skip setting up its OpenGL integration, which would
    // load a GL driver (tens of megabytes with a software renderer). A
    // choice the user made in the environment is left alone.
    static void prepare();
};
