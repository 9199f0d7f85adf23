#ifndef TARNEL_STAND_IN_IMAGES_H
#define TARNEL_STAND_IN_IMAGES_H

#include <OgreDataStream.h>
#include <OgrePrerequisites.h>

#include <memory>
#include <set>
#include <vector>

namespace Tarnel
{
    /** An image that cannot be read costs only itself, whatever its extension: one that was
        never shipped, one in a format no codec of this engine reads, and one whose bytes are
        corrupt are each drawn as one white texel, with one error line in the log naming it.
        This holds wherever and whenever the engine reads an image: at load, at the first
        frame and on reload, from any folder.

        While an instance lives, every image codec of the engine is wrapped in one that
        draws blank what the engine's own cannot decode, and an extension no codec reads
        gets a codec that draws blank. Create one after the codec plug-ins are loaded; it
        puts the engine's own codecs back when it goes. */
    class StandInImages
    {
    public:
        StandInImages();
        ~StandInImages();
        StandInImages(const StandInImages&) = delete;
        StandInImages& operator=(const StandInImages&) = delete;

        /** The stream the engine reads for an image of that name: the stream given when a
            codec of the engine can read it, else a blank stand-in. An extension no codec reads
            gets a codec that draws it blank. `stream` may be null: an image never shipped. */
        Ogre::DataStreamPtr Readable(const Ogre::String& imageName, const Ogre::DataStreamPtr& stream);

        /// One white texel, in a form the codec the engine chooses for that name decodes.
        static Ogre::DataStreamPtr BlankImage(const Ogre::String& imageName);

        /// Logs the error once for each image.
        void Report(const Ogre::String& imageName, const Ogre::String& error);
        /// The image's fault is logged already, in other words.
        void AlreadyReported(const Ogre::String& imageName) { reported.insert(imageName); }

    private:
        class Codec;
        std::vector<std::unique_ptr<Codec>> codecs;
        std::set<Ogre::String> reported;
    };
}

#endif
