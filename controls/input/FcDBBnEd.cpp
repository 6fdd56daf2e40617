#include "controls/input/FcDBBnEd.h"

static const classes::TPublished<TFcDBButtonEdit, TFcDBEdit> FcDBButtonEditInfo([](auto& p) {
  fc::PublishEditButton(p);
});
