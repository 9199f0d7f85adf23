// Model files, read once into node descriptions by the reader of a scene's nodes.
#include "Tarnel/Build/TarnelModel.h"
#include "Tarnel/Check/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    namespace
    {
        const char* const MODEL_SOURCE_FILE = "Tarnel/TarnelModel";
    }

    void TarnelModel::Load(const String& fileName, const String& resourceGroupName)
    {
        TiXmlDocument document;
        TarnelUtilities::LoadXmlDocument(fileName, document, resourceGroupName);
        const TiXmlElement* root = document.FirstChildElement();
        if (!root)
            TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "Unable to load Tarnel model file: " + fileName,
                          "TarnelModel::Load", MODEL_SOURCE_FILE);
        rootNode = NodeReader(Rules::MODEL).ReadNode(root);
    }
}
