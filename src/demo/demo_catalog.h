#pragma once
#include <string>
#include <vector>

namespace cl::demo {

// The fixed part of the demo store: who supplies it, how its goods are grouped, and the
// kinds of products it sells. Articles are drawn from these.

struct DemoSupplier {
    int code;
    std::string name;
};

struct DemoDepartment {
    int code;
    std::string name;
    std::string tx;     // "N": a check run does not write its articles
    int localSupplier;  // besides the wholesaler; 0 for none
    std::vector<std::string> brands;
};

struct DemoGroup {
    int code;
    std::string name;
    int department;  // 0: left null in the store (a check run then takes department 2)
    int excluded;    // escgruppo
    double markup;   // ricarica of the central group; < 0: left null
};

struct DemoSubgroup {
    int code;
    std::string name;
    int group;
};

struct DemoUnit {
    std::string code;
    double multiplier;  // fatxmul: how many of the unit make one reference unit
    std::string reference;
};

// One kind of product; sizes are "500 GR", "1,5 LT", ... or "KG" for goods sold by weight.
struct DemoProduct {
    int subgroup;
    std::string name;
    std::vector<std::string> sizes;
    int vat;
    double costMin, costMax;  // per piece, or per kilogram when sold by weight
};

inline constexpr int kWholesaler = 12;  // the supplier of the central catalogue

const std::vector<DemoSupplier>& demoSuppliers();
const std::vector<DemoDepartment>& demoDepartments();
const std::vector<DemoGroup>& demoGroups();
const std::vector<DemoSubgroup>& demoSubgroups();
const std::vector<DemoUnit>& demoUnits();
const std::vector<DemoProduct>& demoProducts();
const std::vector<std::string>& demoQualifiers();

const DemoSupplier& supplierByCode(int code);
const DemoGroup& groupOf(const DemoSubgroup& subgroup);
const DemoSubgroup& subgroupByCode(int code);
const DemoDepartment& departmentByCode(int code);

}  // namespace cl::demo
