// Model files, read once into node descriptions by the reader of a scene's nodes.
#include "Tarnel/Scene/TarnelModel.h"
#include "Tarnel/Read/TarnelModelFiles.h"

using namespace Ogre;

namespace Tarnel
{
    void TarnelModel::Load(const String& fileName, const String& resourceGroupName)
    {
        std::shared_ptr<ModelDescription> model = ReadModelFile(fileName, OpenModelsFrom(resourceGroupName));
        if (model->fault)
            std::rethrow_exception(model->fault);
        rootNode = std::move(model->rootNode);
    }
}
