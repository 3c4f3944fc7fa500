#include "classes/Classes.h"

#include "frame/Errors.h"
#include "frame/Utf.h"

#include <array>

namespace Kor2_Sys {

// The dispatch descriptions, each defined beside its class in its subsystem.
namespace classes {
extern const ClassInfo CColores;
extern const ClassInfo cfrm_Color;
extern const ClassInfo CString;
extern const ClassInfo c_imput1;
extern const ClassInfo CCmDialog;
extern const ClassInfo cfrm_Dialog;
extern const ClassInfo cRegistro;
extern const ClassInfo c_StatusBar;
extern const ClassInfo CTiempo;
extern const ClassInfo CIconosMenu;
extern const ClassInfo cImagen;
extern const ClassInfo cMoverControl;
extern const ClassInfo CinfoDiscoVol;
extern const ClassInfo c_VL;
extern const ClassInfo cls_Loging;
extern const ClassInfo cCambiaTxt;

/// The interface's one enumeration, the unit of `CTiempo.T_TiempoTranscurrido`.
extern const EnumInfo enumTiempo;
} // namespace classes

namespace {

constexpr std::string_view kProgIdPrefix = "Kor2_Sys.";

constexpr std::array<const ClassInfo*, 16> kClasses = {
    &classes::CColores,    &classes::cfrm_Color,   &classes::CString,     &classes::c_imput1,
    &classes::CCmDialog,   &classes::cfrm_Dialog,  &classes::cRegistro,   &classes::c_StatusBar,
    &classes::CTiempo,     &classes::CIconosMenu,  &classes::cImagen,     &classes::cMoverControl,
    &classes::CinfoDiscoVol, &classes::c_VL,       &classes::cls_Loging,  &classes::cCambiaTxt,
};

constexpr std::array<const EnumInfo*, 1> kEnums = {&classes::enumTiempo};

} // namespace

std::span<const EnumInfo* const> libraryEnums()
{
    return kEnums;
}

const EnumInfo* findEnum(std::string_view name) noexcept
{
    for (const EnumInfo* info : kEnums)
        if (utf::equalNames(info->name, name))
            return info;
    return nullptr;
}

std::span<const ClassInfo* const> libraryClasses()
{
    return kClasses;
}

const ClassInfo* findClass(std::string_view progIdOrName) noexcept
{
    if (progIdOrName.size() > kProgIdPrefix.size() &&
        utf::equalNames(progIdOrName.substr(0, kProgIdPrefix.size()), kProgIdPrefix))
        progIdOrName.remove_prefix(kProgIdPrefix.size());
    for (const ClassInfo* info : kClasses)
        if (utf::equalNames(info->name, progIdOrName))
            return info;
    return nullptr;
}

std::shared_ptr<Object> createObject(std::string_view progIdOrName)
{
    const ClassInfo* info = findClass(progIdOrName);
    if (info == nullptr)
        throw errors::cannotCreateObject();
    return info->create();
}

std::shared_ptr<Object> sharedObject(std::string_view progIdOrName)
{
    const ClassInfo* info = findClass(progIdOrName);
    if (info == nullptr || info->shared == nullptr)
        throw errors::cannotCreateObject();
    return info->shared();
}

} // namespace Kor2_Sys
