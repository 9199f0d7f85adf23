#ifndef TARNEL_LIMITS_H
#define TARNEL_LIMITS_H

#include <OgreConfig.h>

namespace Tarnel
{
    /** The bounds a level's numbers are held to. Past them the engine or the render
        system would fail an allocation, hang or draw a corrupt mesh, so the loader
        raises an invalid-parameters error naming the value instead. */
    namespace Limits
    {
        /** Documents nested deeper are refused before they are parsed: the XML parser and
            the node reader recurse once a level, and real levels nest a few dozen deep. */
        const int MAX_ELEMENT_DEPTH = 1000;
        /// The largest texture side OpenGL accepts on current hardware and on Mesa's software renderer.
        const int MAX_TEXTURE_SIZE = 16384;
        /// A billboard set draws with 16-bit indices, four vertices a billboard.
        const int MAX_BILLBOARD_POOL_SIZE = 65536 / 4;
        /// A billboard set's pool as the engine makes it; it never shrinks below this.
        const unsigned int BILLBOARD_POOL_START = 20;
        /// Plane and sky meshes have 16-bit indices; the engine checks their vertex count itself.
        const int MAX_SEGMENTS = 65535;
        const int MAX_TEXTURE_COORD_SETS = OGRE_MAX_TEXTURE_COORD_SETS;
        /// The engine keeps each shadow texture's projection in tables of this many.
        const int MAX_SHADOW_TEXTURES = OGRE_MAX_SIMULTANEOUS_LIGHTS;
        /// Each copy of an instanced batch holds all of the batch's objects again.
        const int MAX_BATCH_INSTANCES = 4096;
        /** The largest magnitude of a number in a level: sums and products of positions,
            scales and sizes past it overflow single precision, and the engine's bounding
            boxes end the program on the result. */
        const float MAX_REAL = 1e9f;
        /// Faces of a bounding volume (36 bytes each), which the file may ask for without listing them.
        const int MAX_BOUNDING_VOLUME_FACES = 1 << 20;
    }
}

#endif
