#pragma once
// A host window as the library sees it: five published properties, every access recorded, and
// properties that can be made to fail.

#include <Kor2_Sys/Object.h>

#include "frame/Errors.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kor2test {

class FakeWindow final : public Kor2_Sys::Object {
public:
    FakeWindow(double left, double top, double width, double height, int state = 0)
    {
        props["Left"] = left;
        props["Top"] = top;
        props["Width"] = width;
        props["Height"] = height;
        props["WindowState"] = Kor2_Sys::Integer(state);
    }

    Kor2_Sys::Variant invoke(std::string_view member, Kor2_Sys::InvokeKind kind, std::span<Kor2_Sys::Variant> args) override
    {
        const std::string name(member);
        const auto it = props.find(name);
        if (it == props.end())
            throw Kor2_Sys::errors::memberNotSupported();
        if (kind == Kor2_Sys::InvokeKind::Put) {
            log.push_back("set " + name);
            if (failing.count(name))
                throw Kor2_Sys::errors::invalidCall();
            it->second = args.back().toDouble();
            return {};
        }
        return it->second;
    }

    double value(const std::string& name) const { return props.at(name).toDouble(); }

    std::map<std::string, Kor2_Sys::Variant> props;
    std::vector<std::string> log;
    std::set<std::string> failing;
};

} // namespace kor2test
