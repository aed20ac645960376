foreach(t IN ITEMS motion_test controls_test)
  portalwalk_unit_test(${t})
  # A motion that never ends would hang rather than fail.
  set_tests_properties(${t} PROPERTIES TIMEOUT 120)
endforeach()
