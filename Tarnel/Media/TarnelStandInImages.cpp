// Images that cannot be read are drawn blank instead of ending the level.
#include "Tarnel/Media/TarnelStandInImages.h"

#include <OgreImage.h>
#include <OgreImageCodec.h>
#include <OgreLogManager.h>

#include <cstring>

using namespace Ogre;

namespace Tarnel
{
    /** The engine's codec of an extension, drawing blank what it cannot decode; with none, a
        stand-in that draws every image of the extension blank. */
    class StandInImages::Codec : public ImageCodec
    {
    public:
        Codec(StandInImages& owner, const String& type, Ogre::Codec* engines)
            : owner(owner), type(type), engines(engines)
        {
        }

        Ogre::Codec* Engines() const { return engines; }

        String getType() const override { return type; }

        String magicNumberToFileExt(const char* magic, size_t size) const override
        {
            return engines ? engines->magicNumberToFileExt(magic, size) : String();
        }

        void decode(const DataStreamPtr& input, const Any& output) const override
        {
            if (!engines)
            {
                owner.Report(input->getName(), "no image codec of this engine reads ." + type + " files");
                return Blank(output);
            }
            try
            {
                engines->decode(input, output);
            }
            catch (const Exception& failure)
            {
                owner.Report(input->getName(), failure.getDescription());
                Blank(output);
            }
        }

        DataStreamPtr encode(const Any& input) const override
        {
            return engines ? engines->encode(input) : ImageCodec::encode(input);
        }

        void encodeToFile(const Any& input, const String& outFileName) const override
        {
            if (engines)
                engines->encodeToFile(input, outFileName);
            else
                ImageCodec::encodeToFile(input, outFileName);
        }

    private:
        static void Blank(const Any& output)
        {
            Image* image = any_cast<Image*>(output);
            image->create(PF_BYTE_RGBA, 1, 1);
            std::memset(image->getData(), 0xff, 4);
        }

        StandInImages& owner;
        String type;
        Ogre::Codec* engines; ///< null: no codec of the engine reads the extension
    };

    StandInImages::StandInImages()
    {
        for (const String& extension : Ogre::Codec::getExtensions())
        {
            Ogre::Codec* engines = Ogre::Codec::getCodec(extension);
            if (!dynamic_cast<ImageCodec*>(engines))
                continue;
            codecs.push_back(std::make_unique<Codec>(*this, extension, engines));
            Ogre::Codec::unregisterCodec(engines);
            Ogre::Codec::registerCodec(codecs.back().get());
        }
    }

    StandInImages::~StandInImages()
    {
        for (const auto& codec : codecs)
        {
            // A plug-in that unloaded first took its extension with it.
            const String type = codec->getType();
            if (!Ogre::Codec::isCodecRegistered(type) || Ogre::Codec::getCodec(type) != codec.get())
                continue;
            Ogre::Codec::unregisterCodec(codec.get());
            if (codec->Engines())
                Ogre::Codec::registerCodec(codec->Engines());
        }
    }

    void StandInImages::Report(const String& imageName, const String& error)
    {
        if (reported.insert(imageName).second)
            LogManager::getSingleton().logError("Tarnel: the image '" + imageName + "' cannot be read (" + error +
                                                "); it is drawn blank");
    }

    DataStreamPtr StandInImages::Readable(const String& imageName, const DataStreamPtr& stream)
    {
        String base, extension;
        StringUtil::splitBaseFilename(imageName, base, extension);
        StringUtil::toLowerCase(extension);
        if (!extension.empty())
        {
            if (!Ogre::Codec::isCodecRegistered(extension))
            {
                codecs.push_back(std::make_unique<Codec>(*this, extension, nullptr));
                Ogre::Codec::registerCodec(codecs.back().get());
            }
            return stream ? stream : BlankImage(imageName);
        }
        if (!stream)
            return BlankImage(imageName);
        // Without an extension the engine reads the first bytes to choose a codec.
        char magic[32] = {};
        size_t size = stream->read(magic, sizeof magic);
        stream->seek(0);
        if (Ogre::Codec::getCodec(magic, size))
            return stream;
        Report(imageName, "its first bytes are those of no image format this engine reads");
        return BlankImage(imageName);
    }

    DataStreamPtr StandInImages::BlankImage(const String& imageName)
    {
        String base, extension;
        StringUtil::splitBaseFilename(imageName, base, extension);
        StringUtil::toLowerCase(extension);
        std::string bytes;
        // Without an extension the engine picks the codec by the content's signature, which only DDS has;
        // an extension no codec reads has the stand-in codec, which reads nothing.
        if (extension == "dds" || extension.empty())
        {
            // Header of an uncompressed 32-bit 1 x 1 texture: size, flags, height, width, pitch,
            // then the pixel format (size, RGB with alpha, bit count, four masks) and the caps.
            uint32 header[32] = {};
            header[0] = 124, header[1] = 0x100F, header[2] = 1, header[3] = 1, header[4] = 4;
            header[18] = 32, header[19] = 0x41, header[21] = 32;
            header[22] = 0x00FF0000, header[23] = 0x0000FF00, header[24] = 0x000000FF, header[25] = 0xFF000000;
            header[26] = 0x1000;
            bytes = "DDS " + std::string(reinterpret_cast<const char*>(header), 124) + std::string(4, '\xff');
        }
        else
        {
            // A portable pixmap, which the image codec of every other common extension recognises by its content.
            bytes = "P6\n1 1\n255\n" + std::string(3, '\xff');
        }
        auto stream = std::make_shared<MemoryDataStream>(imageName, bytes.size());
        std::memcpy(stream->getPtr(), bytes.data(), bytes.size());
        return stream;
    }
}
