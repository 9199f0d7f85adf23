#include "Tarnel/Read/Types.h"

namespace Tarnel
{
namespace Types
{
    ObjectExtraData::ObjectExtraData(const ObjectExtraData& other)
        : id(other.id),
          userDataReference(other.userDataReference),
          userData(other.userData),
          receiveShadows(other.receiveShadows),
          noteTracks(other.noteTracks)
    {
    }

    ObjectExtraData& ObjectExtraData::operator=(const ObjectExtraData& other)
    {
        node = nullptr;
        object = nullptr;
        id = other.id;
        userDataReference = other.userDataReference;
        userData = other.userData;
        receiveShadows = other.receiveShadows;
        noteTracks = other.noteTracks;
        return *this;
    }

    bool ObjectExtraData::HasUserData() const
    {
        return !id.empty() || !userDataReference.empty() || !userData.empty();
    }
}
}
