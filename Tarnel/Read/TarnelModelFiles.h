#ifndef TARNEL_MODEL_FILES_H
#define TARNEL_MODEL_FILES_H

#include "Tarnel/Read/TarnelLevel.h"

#include <functional>

class TiXmlDocument;

namespace Tarnel
{
    /** Opens a model file by its name (with this platform's separators) into the document,
        its elements knowing their rows; raises the engine's error when it cannot. */
    using ModelOpener = std::function<void(const Ogre::String& file, TiXmlDocument& document)>;

    /// Opens model files through the engine's resources, from the group or any that has the file.
    ModelOpener OpenModelsFrom(const Ogre::String& resourceGroupName);

    /** Reads a model file into its description with a model's rules. What cannot be read (a
        file that is not there or does not parse, an element a reader refuses) leaves the
        engine's error in `fault`, and the file's line where a reader refused. */
    std::shared_ptr<ModelDescription> ReadModelFile(const Ogre::String& file, const ModelOpener& open);

    /** Reads each model file the level's nodes name, and those the model files name, once
        each, into `level.models`; files it holds already are kept. */
    void ReadModelFiles(LevelDescription& level, const ModelOpener& open);
}

#endif
