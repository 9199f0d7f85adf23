#ifndef TARNEL_APP_LEVEL_INFO_OVERLAY_H
#define TARNEL_APP_LEVEL_INFO_OVERLAY_H

#include <OgrePrerequisites.h>

namespace Ogre
{
    class Overlay;
    class OverlayElement;
}

/** The viewer's own panel beside the statistics, from the overlay script
    "Tarnel/LevelInfo": lines of text in a panel that grows with them. Without
    the script in the media it does nothing. Hidden at start. */
class LevelInfoOverlay
{
public:
    /// Lines longer than this many characters are broken at spaces.
    static const size_t LINE_LENGTH = 60;

    LevelInfoOverlay();

    void SetVisible(bool visible);
    bool IsVisible() const { return visible; }
    /// Shows the text (lines separated by "\n"), broken to the panel's width.
    void SetText(const Ogre::String& text);
    /** Keeps the panel beside the statistics in a window too narrow for both side by side:
        it narrows, to no less than a minimum, and its lines break sooner. */
    void FitWindow(Ogre::Real windowWidth, bool statisticsShown);

    /** The panel's width in pixels in a window of that width: its full width, or what the
        statistics leave of the window when they are shown, but never below a minimum. */
    static Ogre::Real PanelWidth(Ogre::Real windowWidth, bool statisticsShown);

    /// The text broken at spaces into lines of at most `length` characters; longer words are cut.
    static Ogre::String Wrap(const Ogre::String& text, size_t length);

private:
    bool visible = false;
    Ogre::String shown, text;
    size_t lineLength = LINE_LENGTH;
    Ogre::Overlay* overlay = nullptr;
    Ogre::OverlayElement* panel = nullptr;
    Ogre::OverlayElement* textArea = nullptr;
};

#endif
