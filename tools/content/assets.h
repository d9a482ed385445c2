#pragma once
// The authoring steps of murmur-content, one per kind of content. Each writes
// into the staging tree and reports failures through it.
#include "tools/content/staging.h"
#include "tools/pictures/text.h"

#include <filesystem>

namespace content {

struct Fonts {
    pictures::FontFace& title; // bold, rounded display face
    pictures::FontFace& text;  // plain sans-serif for small print
};

// The standard folders of the data tree, created even when empty.
void makeDataFolders(Staging& staging);
// Copies every file under `dataDir` (hand-written sources) to the same place in the tree.
void copyHandWritten(Staging& staging, const std::filesystem::path& dataDir);

// "loader.jpg" in the tree.
void writeLoaderPicture(Staging& staging, Fonts& fonts);
// The setup dialog's picture, stored bottom-up, outside the tree.
void writeSetupPicture(Staging& staging, Fonts& fonts, const std::filesystem::path& file);
// The program's icon for the applications menu (256 x 256 PNG), outside the
// tree: the title's first letter as the end picture draws the title.
void writeIcon(Staging& staging, Fonts& fonts, const std::filesystem::path& file);
// textures/end.jpg: the closing picture with the credits.
void writeEndPicture(Staging& staging, Fonts& fonts);
// textures/black.png and textures/smoke.png.
void writeEffectTextures(Staging& staging);
// textures/greetz/greetz0..11.png.
void writeGreetings(Staging& staging, Fonts& fonts);
// textures/dream/dream1..90.jpg.
void writeDreamSequence(Staging& staging);
// Diffuse and normal maps of the surfaces of the models.
void writeSurfaceTextures(Staging& staging);
// fonts/komika_title_32.xml and its picture.
void writeBitmapFont(Staging& staging, pictures::FontFace& face);

} // namespace content
