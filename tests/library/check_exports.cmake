# Fails unless the library's dynamic symbol table defines exactly the ten
# exports and the library carries a versioned SONAME.
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${table}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)
set(expected cxfun_acos cxfun_acosh cxfun_asin cxfun_asinh cxfun_atan cxfun_atanh
             cxfun_cdlog cxfun_ln cxfun_log cxfun_sqrt)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "defined dynamic symbols:\n${table}\nexpected exactly: ${expected}")
endif()

execute_process(COMMAND objdump -p ${LIBRARY} OUTPUT_VARIABLE headers)
if(NOT headers MATCHES "SONAME +libcxfun\\.so\\.[0-9]+\n")
  message(FATAL_ERROR "no versioned SONAME in ${LIBRARY}:\n${headers}")
endif()
