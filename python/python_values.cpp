#include "python/python_values.h"

namespace korvane::python {

namespace py = pybind11;

namespace {

// A number Python can give as a float: numpy's scalars, Decimal, Fraction; not text.
bool floatLike(py::handle value) {
    return PyNumber_Check(value.ptr()) && py::hasattr(value, "__float__") && !py::isinstance<py::str>(value);
}

}  // namespace

nlohmann::json jsonOf(py::handle value, const std::string& place) {
    if (value.is_none()) return nullptr;
    if (py::isinstance<py::bool_>(value)) return value.cast<bool>();
    if (py::isinstance<py::int_>(value)) {
        const long long whole = PyLong_AsLongLong(value.ptr());
        if (!PyErr_Occurred()) return whole;
        PyErr_Clear();
        const double number = PyLong_AsDouble(value.ptr());
        if (!PyErr_Occurred()) return number;
        PyErr_Clear();
        throw py::value_error("\"" + place + "\": a whole number of " +
                              std::to_string(py::str(value).cast<std::string>().size()) +
                              " digits is too large for any setting.");
    }
    if (py::isinstance<py::float_>(value)) return value.cast<double>();
    if (py::isinstance<py::str>(value)) return value.cast<std::string>();
    if (py::isinstance<py::dict>(value)) {
        nlohmann::json object = nlohmann::json::object();
        for (const auto& [key, item] : value.cast<py::dict>()) {
            const std::string name = py::str(key).cast<std::string>();
            object[name] = jsonOf(item, place.empty() ? name : place + "." + name);
        }
        return object;
    }
    if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
        nlohmann::json array = nlohmann::json::array();
        std::size_t i = 0;
        for (const py::handle item : value) array.push_back(jsonOf(item, place + "[" + std::to_string(i++) + "]"));
        return array;
    }
    if (floatLike(value)) {
        try {
            return py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
        } catch (const py::error_already_set&) {
            // pandas' NA and the like: no number, refused below.
        }
    }
    throw py::value_error("\"" + place + "\" must be a number, text, true or false, or a list, not " +
                          py::repr(value).cast<std::string>() + " (" +
                          py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>() + ").");
}

}  // namespace korvane::python
