#pragma once
// The graphics classes' public face: colours and their names, pen, brush and font, the
// canvas, and the pictures (bitmaps, icons, JPEG images, pictures of any of them, image lists).
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Idents.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/Jpeg.h"
